// The data provider framework's stream format and class registry.
#include "dataprovider/MvDataStream.h"

#include "base/StrUtils.h"

#include <cctype>

namespace {

bool NameChar(char C) {
    return std::isalnum(static_cast<unsigned char>(C)) || C == '_';
}

} // namespace

// ---- writing ----

void TMvDataWriter::Name(const std::string& N) {
    FText += ' ';
    FText += N;
    FText += ' ';
}

void TMvDataWriter::BeginElement() {
    FText += '<';
}

void TMvDataWriter::EndElement() {
    FText += " >";
}

void TMvDataWriter::WriteString(const std::string& N, const std::string& Value) {
    Name(N);
    FText += '"';
    for (char C : Value) {
        if (C == '"') FText += '"';
        FText += C;
    }
    FText += '"';
}

void TMvDataWriter::WriteInteger(const std::string& N, long long Value) {
    Name(N);
    FText += std::to_string(Value);
}

void TMvDataWriter::BeginCollection(const std::string& N) {
    Name(N);
    FText += '[';
}

void TMvDataWriter::EndCollection() {
    FText += " ]";
}

// ---- reading ----

TMvDataReader::TMvDataReader(std::string Text) : FText(std::move(Text)) {}

void TMvDataReader::SkipBlanks() {
    while (FPos < FText.size() && std::isspace(static_cast<unsigned char>(FText[FPos])))
        ++FPos;
}

char TMvDataReader::Peek() {
    SkipBlanks();
    return FPos < FText.size() ? FText[FPos] : '\0';
}

bool TMvDataReader::AtEnd() {
    return Peek() == '\0';
}

void TMvDataReader::Expect(char C) {
    if (Peek() != C) throw EReadError(std::string("Invalid stream format: '") + C + "' expected");
    ++FPos;
}

void TMvDataReader::ReadElementStart() {
    Expect('<');
    if (++FDepth > kMaxDepth) throw EReadError("Invalid stream format: nesting too deep");
}

bool TMvDataReader::AtElementEnd() {
    if (Peek() != '>') return false;
    ++FPos;
    --FDepth;
    return true;
}

void TMvDataReader::ReadCollectionStart() {
    if (Peek() != '[') throw EReadError("Expected collection");
    ++FPos;
    if (++FDepth > kMaxDepth) throw EReadError("Invalid stream format: nesting too deep");
}

bool TMvDataReader::AtCollectionEnd() {
    if (Peek() != ']') return false;
    ++FPos;
    --FDepth;
    return true;
}

bool TMvDataReader::NextIsCollection() {
    return Peek() == '[';
}

std::string TMvDataReader::ReadName() {
    SkipBlanks();
    const size_t Start = FPos;
    while (FPos < FText.size() && NameChar(FText[FPos]))
        ++FPos;
    if (Start == FPos) throw EReadError("Invalid stream format: property name expected");
    return FText.substr(Start, FPos - Start);
}

std::string TMvDataReader::ReadString() {
    Expect('"');
    std::string Value;
    for (;;) {
        if (FPos >= FText.size()) throw EReadError("Invalid stream format: unterminated string");
        const char C = FText[FPos++];
        if (C == '"') {
            if (FPos < FText.size() && FText[FPos] == '"') {
                Value += '"';
                ++FPos;
                continue;
            }
            return Value;
        }
        Value += C;
    }
}

long long TMvDataReader::ReadInteger() {
    SkipBlanks();
    const size_t Start = FPos;
    if (FPos < FText.size() && FText[FPos] == '-') ++FPos;
    const size_t Digits = FPos;
    while (FPos < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FPos])))
        ++FPos;
    if (FPos == Digits || FPos - Digits > 18) throw EReadError("Invalid stream format: integer expected");
    return std::stoll(FText.substr(Start, FPos - Start));
}

void TMvDataReader::SkipValue() {
    const char C = Peek();
    if (C == '"') {
        ReadString();
    } else if (C == '[') {
        ReadCollectionStart();
        while (!AtCollectionEnd()) {
            ReadElementStart();
            while (!AtElementEnd()) {
                ReadName();
                SkipValue();
            }
        }
    } else {
        ReadInteger();
    }
}

// ---- registry ----

namespace {

struct TRegistered {
    std::string Name;
    TMvStreamableFactory Factory;
};

std::vector<TRegistered>& Registry() {
    static std::vector<TRegistered> registry;
    return registry;
}

const TRegistered* Find(const std::string& Name) {
    for (const TRegistered& R : Registry())
        if (SameText(R.Name, Name)) return &R;
    return nullptr;
}

} // namespace

void MvRegisterClass(const std::string& ClassName, TMvStreamableFactory Factory) {
    for (TRegistered& R : Registry())
        if (SameText(R.Name, ClassName)) {
            R.Factory = std::move(Factory);
            return;
        }
    Registry().push_back({ClassName, std::move(Factory)});
}

bool MvIsClassRegistered(const std::string& ClassName) {
    return Find(ClassName) != nullptr;
}

std::unique_ptr<TMvStreamable> MvCreateRegistered(const std::string& ClassName,
                                                  TExtensibleInterfacedPersistent* Controller) {
    const TRegistered* R = Find(ClassName);
    if (!R) throw EReadError("Class " + ClassName + " not found");
    return std::unique_ptr<TMvStreamable>(R->Factory(Controller));
}

std::vector<std::string> MvRegisteredClasses() {
    std::vector<std::string> Names;
    for (const TRegistered& R : Registry())
        Names.push_back(R.Name);
    return Names;
}
