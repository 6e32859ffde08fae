// The data provider framework's own stream format and its class registry.
//
// A stream is a tree of elements. Each element is a list of properties; a value is
// a quoted string, an integer or a collection of elements:
//   < ClassName "TMvDataItemsList" Items [ < ClassName "TMvBaseDataItem" ID "..." > ] >
// Strings are in double quotes with inner quotes doubled. Names are letters, digits
// and underscores. Reading treats the text as hostile: nesting is capped and every
// malformed piece raises EReadError.
#pragma once

#include "base/Exceptions.h"
#include "base/Object.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TMvDataWriter;
class TMvDataReader;

// A class that can be written to and read from the stream. ClassName is what the
// registry knows it by.
class TMvStreamable : public TObject {
public:
    virtual std::string ClassName() const = 0;
    // Writes the published properties (not ClassName).
    virtual void WriteProperties(TMvDataWriter& Writer) { (void)Writer; }
    // Reads one property; false when the class has no such property.
    virtual bool ReadProperty(const std::string& Name, TMvDataReader& Reader) {
        (void)Name;
        (void)Reader;
        return false;
    }
};

class TMvDataWriter {
public:
    void BeginElement();
    void EndElement();
    void WriteString(const std::string& Name, const std::string& Value);
    void WriteInteger(const std::string& Name, long long Value);
    void BeginCollection(const std::string& Name);
    void EndCollection();
    const std::string& Text() const { return FText; }

private:
    void Name(const std::string& Name);
    std::string FText;
};

class TMvDataReader {
public:
    explicit TMvDataReader(std::string Text);
    static constexpr int kMaxDepth = 64;

    // Element and collection framing.
    void ReadElementStart();
    bool AtElementEnd(); // consumes '>' when there
    void ReadCollectionStart();
    bool AtCollectionEnd(); // consumes ']' when there
    bool NextIsCollection();
    std::string ReadName();
    std::string ReadString();
    long long ReadInteger();
    // Skips one value of any kind.
    void SkipValue();
    bool AtEnd();

private:
    void SkipBlanks();
    char Peek();
    void Expect(char C);
    std::string FText;
    size_t FPos = 0;
    int FDepth = 0;
};

// ---- the class registry (names compared without regard to case) ----

class TExtensibleInterfacedPersistent;
// Makes a new object; extensions are made for Controller (the others ignore it).
using TMvStreamableFactory = std::function<TMvStreamable*(TExtensibleInterfacedPersistent* Controller)>;
void MvRegisterClass(const std::string& ClassName, TMvStreamableFactory Factory);
bool MvIsClassRegistered(const std::string& ClassName);
// A new object of a registered class; raises EReadError for a name nobody registered.
std::unique_ptr<TMvStreamable> MvCreateRegistered(const std::string& ClassName,
                                                  TExtensibleInterfacedPersistent* Controller = nullptr);
// The registered names, in registration order.
std::vector<std::string> MvRegisteredClasses();
