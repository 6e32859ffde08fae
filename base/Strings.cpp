// TStrings: the behaviour every string list shares, built on the storage core of a derived class.
#include "base/Strings.h"

#include <vector>

#include "base/Exceptions.h"
#include "base/StrUtils.h"
#include "base/Streams.h"

namespace {

// Runs action inside BeginUpdate/EndUpdate, so observers see one change.
template <typename Action> void Updating(TStrings& strings, Action action) {
    strings.BeginUpdate();
    try {
        action();
    } catch (...) {
        strings.EndUpdate();
        throw;
    }
    strings.EndUpdate();
}

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// Reads a quoted item starting at the opening quote at text[pos]; doubled quotes stand for one.
// Leaves pos after the closing quote (or at the end when there is none).
std::string ExtractQuoted(const std::string& text, size_t& pos, char quote) {
    std::string result;
    ++pos;
    while (pos < text.size()) {
        if (text[pos] == quote) {
            if (pos + 1 < text.size() && text[pos + 1] == quote) {
                result.push_back(quote);
                pos += 2;
                continue;
            }
            ++pos;
            break;
        }
        result.push_back(text[pos]);
        ++pos;
    }
    return result;
}

} // namespace

void TStrings::Put(int index, const std::string& s) {
    CheckIndex(index, Count());
    TObject* object = GetObject(index);
    Updating(*this, [&] {
        Delete(index);
        InsertObject(index, s, object);
    });
}

TObject* TStrings::GetObject(int index) const {
    CheckIndex(index, Count());
    return nullptr;
}

void TStrings::PutObject(int index, TObject*) {
    CheckIndex(index, Count());
}

void TStrings::InsertObject(int index, const std::string& s, TObject* object) {
    Updating(*this, [&] {
        Insert(index, s);
        PutObject(index, object);
    });
}

int TStrings::Add(const std::string& s) {
    const int index = Count();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const std::string& s, TObject* object) {
    int index = -1;
    Updating(*this, [&] {
        index = Add(s);
        PutObject(index, object);
    });
    return index;
}

void TStrings::AddStrings(const TStrings& source) {
    const int count = source.Count();
    Updating(*this, [&] {
        for (int i = 0; i < count; ++i)
            AddObject(source.Get(i), source.GetObject(i));
    });
}

void TStrings::Assign(const TStrings& source) {
    if (&source == this) return;
    Updating(*this, [&] {
        Clear();
        nameValueSeparator_ = source.nameValueSeparator_;
        delimiter_ = source.delimiter_;
        quoteChar_ = source.quoteChar_;
        strictDelimiter_ = source.strictDelimiter_;
        LookupRulesChanged();
        AddStrings(source);
    });
}

void TStrings::Move(int curIndex, int newIndex) {
    CheckIndex(curIndex, Count());
    CheckIndex(newIndex, Count());
    if (curIndex == newIndex) return;
    const std::string s = Get(curIndex);
    TObject* object = GetObject(curIndex);
    Updating(*this, [&] {
        Delete(curIndex);
        InsertObject(newIndex, s, object);
    });
}

void TStrings::Exchange(int index1, int index2) {
    CheckIndex(index1, Count());
    CheckIndex(index2, Count());
    if (index1 == index2) return;
    const std::string s1 = Get(index1);
    TObject* object1 = GetObject(index1);
    Updating(*this, [&] {
        Put(index1, Get(index2));
        PutObject(index1, GetObject(index2));
        Put(index2, s1);
        PutObject(index2, object1);
    });
}

int TStrings::IndexOf(const std::string& s) const {
    const int count = Count();
    for (int i = 0; i < count; ++i)
        if (CompareStrings(Get(i), s) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& name) const {
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        const std::string line = Get(i);
        const size_t at = line.find(nameValueSeparator_);
        if (at != std::string::npos && CompareStrings(line.substr(0, at), name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
    const int count = Count();
    for (int i = 0; i < count; ++i)
        if (GetObject(i) == object) return i;
    return -1;
}

std::string TStrings::Names(int index) const {
    const std::string line = Get(index);
    const size_t at = line.find(nameValueSeparator_);
    return at == std::string::npos ? std::string() : line.substr(0, at);
}

std::string TStrings::ValueFromIndex(int index) const {
    const std::string line = Get(index);
    const size_t at = line.find(nameValueSeparator_);
    return at == std::string::npos ? std::string() : line.substr(at + 1);
}

void TStrings::SetValueFromIndex(int index, const std::string& value) {
    if (value.empty()) {
        Delete(index);
        return;
    }
    Put(index, Names(index) + nameValueSeparator_ + value);
}

std::string TStrings::Values(const std::string& name) const {
    const int index = IndexOfName(name);
    return index < 0 ? std::string() : ValueFromIndex(index);
}

void TStrings::SetValue(const std::string& name, const std::string& value) {
    const int index = IndexOfName(name);
    if (value.empty()) {
        if (index >= 0) Delete(index);
        return;
    }
    const std::string line = name + nameValueSeparator_ + value;
    if (index < 0)
        Add(line);
    else
        Put(index, line);
}

void TStrings::SetNameValueSeparator(char separator) {
    if (separator == nameValueSeparator_) return;
    nameValueSeparator_ = separator;
    LookupRulesChanged();
}

std::string TStrings::Text() const {
    const int count = Count();
    std::string result;
    for (int i = 0; i < count; ++i) {
        result += Get(i);
        result += "\r\n";
    }
    return result;
}

void TStrings::SetText(const std::string& text) {
    Updating(*this, [&] {
        Clear();
        size_t pos = 0;
        while (pos < text.size()) {
            const size_t start = pos;
            while (pos < text.size() && text[pos] != '\r' && text[pos] != '\n')
                ++pos;
            Add(text.substr(start, pos - start));
            if (pos < text.size() && text[pos] == '\r') {
                ++pos;
                if (pos < text.size() && text[pos] == '\n') ++pos;
            } else if (pos < text.size()) {
                ++pos; // LF
            }
        }
    });
}

std::string TStrings::JoinDelimited(char delimiter, char quoteChar, bool strict) const {
    const int count = Count();
    if (count == 1 && Get(0).empty()) return std::string(2, quoteChar);
    std::string result;
    for (int i = 0; i < count; ++i) {
        const std::string s = Get(i);
        bool quote = false;
        for (char c : s)
            if (c == quoteChar || c == delimiter || (!strict && IsBlank(c))) {
                quote = true;
                break;
            }
        if (i > 0) result.push_back(delimiter);
        if (!quote) {
            result += s;
            continue;
        }
        result.push_back(quoteChar);
        for (char c : s) {
            if (c == quoteChar) result.push_back(quoteChar);
            result.push_back(c);
        }
        result.push_back(quoteChar);
    }
    return result;
}

void TStrings::SplitDelimited(const std::string& text, char delimiter, char quoteChar, bool strict) {
    // Without StrictDelimiter, blanks around items are dropped and also separate items (a blank
    // delimiter therefore never yields empty items).
    const size_t n = text.size();
    auto skipBlanks = [&](size_t& pos) {
        if (strict) return;
        while (pos < n && IsBlank(text[pos]))
            ++pos;
    };
    Updating(*this, [&] {
        Clear();
        size_t pos = 0;
        skipBlanks(pos);
        while (pos < n) {
            std::string item;
            if (text[pos] == quoteChar) {
                item = ExtractQuoted(text, pos, quoteChar);
            } else {
                const size_t start = pos;
                while (pos < n && text[pos] != delimiter && (strict || !IsBlank(text[pos])))
                    ++pos;
                item = text.substr(start, pos - start);
            }
            Add(item);
            skipBlanks(pos);
            if (pos < n && text[pos] == delimiter) {
                if (pos + 1 == n) Add(std::string());
                ++pos;
                skipBlanks(pos);
            }
        }
    });
}

std::string TStrings::DelimitedText() const {
    return JoinDelimited(delimiter_, quoteChar_, strictDelimiter_);
}

void TStrings::SetDelimitedText(const std::string& text) {
    SplitDelimited(text, delimiter_, quoteChar_, strictDelimiter_);
}

std::string TStrings::CommaText() const {
    return JoinDelimited(',', '"', false);
}

void TStrings::SetCommaText(const std::string& text) {
    SplitDelimited(text, ',', '"', false);
}

void TStrings::LoadFromStream(TStream& stream) {
    std::string text;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const int64_t n = stream.Read(buffer.data(), static_cast<int64_t>(buffer.size()));
        if (n <= 0) break;
        text.append(buffer.data(), static_cast<size_t>(n));
    }
    SetText(text);
}

void TStrings::SaveToStream(TStream& stream) const {
    const std::string text = Text();
    stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void TStrings::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TStrings::SaveToFile(const std::string& fileName) const {
    // Build the text before the file is emptied, so a failure here leaves the old file alone.
    const std::string text = Text();
    TFileStream file(fileName, fmCreate);
    file.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void TStrings::BeginUpdate() {
    if (updateCount_ == 0) SetUpdateState(true);
    ++updateCount_;
}

void TStrings::EndUpdate() {
    if (updateCount_ == 0) return;
    --updateCount_;
    if (updateCount_ == 0) SetUpdateState(false);
}

int TStrings::CompareStrings(const std::string& a, const std::string& b) const {
    return CompareText(a, b);
}

void TStrings::SetUpdateState(bool) {}

void TStrings::ListIndexError(int index) {
    throw EStringListError(Format("List index out of bounds (%d)", index));
}

void TStrings::CheckIndex(int index, int limit) const {
    if (index < 0 || index >= limit) ListIndexError(index);
}
