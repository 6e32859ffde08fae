// TStrings: the abstract list of 8-bit strings that every string list derives from.
#pragma once

#include <string>

#include "base/Object.h"

class TStream;

// A list of 8-bit strings, each with an optional TObject*. The derived class stores the lines; the
// shared behaviour (name=value lines, text, delimited text, streams, update nesting) is built here.
// Names of name=value lines are compared by CompareStrings (without regard to ASCII case unless a
// list says otherwise); a name is the part before the first separator.
class TStrings : public TObject {
public:
    TStrings() = default;
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;

    // The storage core.
    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& s); // keeps the line's object
    virtual TObject* GetObject(int index) const;       // nullptr unless the list stores objects
    virtual void PutObject(int index, TObject* object);
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void InsertObject(int index, const std::string& s, TObject* object);
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    std::string operator[](int index) const { return Get(index); }

    virtual int Add(const std::string& s);
    virtual int AddObject(const std::string& s, TObject* object);
    void AddStrings(const TStrings& source);
    // Replaces the lines and objects with source's and takes its separator and delimiter settings.
    // The object pointers are shared, not copied: at most one of the lists may own them.
    virtual void Assign(const TStrings& source);
    virtual void Move(int curIndex, int newIndex);
    virtual void Exchange(int index1, int index2);

    virtual int IndexOf(const std::string& s) const;
    virtual int IndexOfName(const std::string& name) const;
    int IndexOfObject(const TObject* object) const;

    // Name=value lines. A line without the separator has no name and an empty value.
    std::string Names(int index) const;
    std::string ValueFromIndex(int index) const;
    void SetValueFromIndex(int index, const std::string& value); // "" removes the line
    std::string Values(const std::string& name) const;
    void SetValue(const std::string& name, const std::string& value); // "" removes the line
    char NameValueSeparator() const { return nameValueSeparator_; }
    void SetNameValueSeparator(char separator);

    // Every line followed by CR LF. SetText splits at CR LF, LF or CR.
    std::string Text() const;
    virtual void SetText(const std::string& text);

    // Lines joined by Delimiter; a line holding a blank (unless StrictDelimiter), the quote
    // character or the delimiter is quoted with inner quote characters doubled.
    std::string DelimitedText() const;
    void SetDelimitedText(const std::string& text);
    // DelimitedText with ',' and '"' and StrictDelimiter off, whatever the list's own settings.
    std::string CommaText() const;
    void SetCommaText(const std::string& text);
    char Delimiter() const { return delimiter_; }
    void SetDelimiter(char delimiter) { delimiter_ = delimiter; }
    char QuoteChar() const { return quoteChar_; }
    void SetQuoteChar(char quoteChar) { quoteChar_ = quoteChar; }
    bool StrictDelimiter() const { return strictDelimiter_; }
    void SetStrictDelimiter(bool strict) { strictDelimiter_ = strict; }

    // LoadFromStream reads from the stream's position to its end; SaveToStream writes Text.
    virtual void LoadFromStream(TStream& stream);
    virtual void SaveToStream(TStream& stream) const;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    // Compares two lines or names the way this list does; ASCII case ignored here.
    virtual int CompareStrings(const std::string& a, const std::string& b) const;

protected:
    // Called when the update nesting enters (true) or leaves (false) its outermost level.
    virtual void SetUpdateState(bool updating);
    // The rules by which lines and names are looked up changed (separator, case sensitivity).
    virtual void LookupRulesChanged() {}
    [[noreturn]] static void ListIndexError(int index);
    void CheckIndex(int index, int limit) const;

private:
    std::string JoinDelimited(char delimiter, char quoteChar, bool strict) const;
    void SplitDelimited(const std::string& text, char delimiter, char quoteChar, bool strict);

    int updateCount_ = 0;
    char nameValueSeparator_ = '=';
    char delimiter_ = ',';
    char quoteChar_ = '"';
    bool strictDelimiter_ = false;
};
