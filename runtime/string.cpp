// String representation, number texts, searching, splitting and the
// decoding of text files (UTF-16 with byte-order marks, UTF-8).
#include "runtime/string.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

String::Rep String::nullRep = {1, 0, {0}};

static String g_loadError;

void String::Rep::release() {
    if (this == &nullRep) return;
    if (--refs == 0) free(this);
}

String::Rep* String::Rep::alloc(int length) {
    if (length <= 0) return &nullRep;
    Rep* rep = static_cast<Rep*>(malloc(sizeof(Rep) + sizeof(Char) * (length - 1)));
    rep->refs = 1;
    rep->length = length;
    return rep;
}

String::String(const Char* p, int n) : _rep(Rep::alloc(n)) {
    if (n > 0) memcpy(_rep->data, p, n * sizeof(Char));
}

String::String(const wchar_t* p, int n) : _rep(Rep::alloc(n)) {
    for (int i = 0; i < n; ++i) _rep->data[i] = static_cast<Char>(p[i]);
}

String::String(const char* s) {
    int n = static_cast<int>(strlen(s));
    _rep = Rep::alloc(n);
    // Each byte sign-extended to 16 bits, as the program's own literals are.
    for (int i = 0; i < n; ++i) _rep->data[i] = static_cast<Char>(static_cast<int16_t>(static_cast<signed char>(s[i])));
}

String::String(int n) : _rep(&nullRep) {
    char buf[32];
    snprintf(buf, sizeof buf, "%i", n);
    *this = String(static_cast<const char*>(buf));
}

String::String(float f) : _rep(&nullRep) {
    char buf[64];
    snprintf(buf, sizeof buf, "%.17lg", static_cast<double>(f));
    if (!strchr(buf, '.') && !strchr(buf, 'e')) strcat(buf, ".0");
    *this = String(static_cast<const char*>(buf));
}

String& String::operator=(const String& s) {
    s._rep->retain();
    _rep->release();
    _rep = s._rep;
    return *this;
}

String& String::operator=(String&& s) noexcept {
    if (this != &s) {
        _rep->release();
        _rep = s._rep;
        s._rep = &nullRep;
    }
    return *this;
}

bool String::operator==(const String& o) const {
    if (_rep == o._rep) return true;
    if (_rep->length != o._rep->length) return false;
    return memcmp(_rep->data, o._rep->data, _rep->length * sizeof(Char)) == 0;
}

String String::operator+(const String& o) const {
    if (_rep->length == 0) return o;
    if (o._rep->length == 0) return *this;
    Rep* rep = Rep::alloc(_rep->length + o._rep->length);
    memcpy(rep->data, _rep->data, _rep->length * sizeof(Char));
    memcpy(rep->data + _rep->length, o._rep->data, o._rep->length * sizeof(Char));
    return String(rep);
}

int String::Find(const String& s, int start) const {
    if (start < 0) start = 0;
    int n = s.Length();
    for (int i = start; i + n <= Length(); ++i) {
        if (memcmp(Data() + i, s.Data(), n * sizeof(Char)) == 0) return i;
    }
    return -1;
}

int String::FindLast(const String& s) const {
    int n = s.Length();
    for (int i = Length() - n; i >= 0; --i) {
        if (memcmp(Data() + i, s.Data(), n * sizeof(Char)) == 0) return i;
    }
    return -1;
}

bool String::StartsWith(const String& s) const {
    if (s.Length() > Length()) return false;
    return memcmp(Data(), s.Data(), s.Length() * sizeof(Char)) == 0;
}

bool String::EndsWith(const String& s) const {
    if (s.Length() > Length()) return false;
    return memcmp(Data() + Length() - s.Length(), s.Data(), s.Length() * sizeof(Char)) == 0;
}

String String::Slice(int from, int to) const {
    int len = Length();
    if (from < 0) {
        from += len;
        if (from < 0) from = 0;
    } else if (from > len) {
        from = len;
    }
    if (to < 0) {
        to += len;
        if (to < 0) to = 0;
    } else if (to > len) {
        to = len;
    }
    if (to <= from) return String();
    if (from == 0 && to == len) return *this;
    return String(Data() + from, to - from);
}

Array<String> String::Split(const String& sep) const {
    if (sep.Length() == 0) {
        Array<String> out(Length());
        for (int i = 0; i < Length(); ++i) out[i] = String(Data() + i, 1);
        return out;
    }
    int count = 1;
    for (int i = Find(sep); i != -1; i = Find(sep, i + sep.Length())) ++count;
    Array<String> out(count);
    if (count == 1) {
        out[0] = *this;
        return out;
    }
    int start = 0, k = 0;
    for (int i = Find(sep); i != -1; i = Find(sep, i + sep.Length())) {
        out[k++] = Slice(start, i);
        start = i + sep.Length();
    }
    out[k] = Slice(start);
    return out;
}

String String::Replace(const String& find, const String& with) const {
    if (find.Length() == 0) return *this;
    std::vector<Char> out;
    int i = 0, hits = 0;
    for (;;) {
        int j = Find(find, i);
        if (j == -1) break;
        out.insert(out.end(), Data() + i, Data() + j);
        out.insert(out.end(), with.Data(), with.Data() + with.Length());
        i = j + find.Length();
        ++hits;
    }
    if (hits == 0) return *this;
    out.insert(out.end(), Data() + i, Data() + Length());
    return String(out.data(), static_cast<int>(out.size()));
}

String String::ToLower() const {
    String r(Data(), Length());
    if (r.Length() == 0) return r;
    for (int i = 0; i < r.Length(); ++i) {
        Char c = r._rep->data[i];
        if (c >= 'A' && c <= 'Z') r._rep->data[i] = c + 32;
    }
    return r;
}

// Reads like atoi from at most the first 63 units (each truncated to 8
// bits), but stays defined past the int range: the value wraps modulo 2^32
// as the save text's sums do, instead of being undefined.
int String::ToInt() const {
    int n = Length() < 63 ? Length() : 63;
    int i = 0;
    auto at = [&](int k) { return static_cast<unsigned char>(Data()[k] & 0xFF); };
    while (i < n && (at(i) == ' ' || (at(i) >= 9 && at(i) <= 13))) ++i;
    bool neg = false;
    if (i < n && (at(i) == '+' || at(i) == '-')) {
        neg = at(i) == '-';
        ++i;
    }
    uint32_t v = 0;
    while (i < n && at(i) >= '0' && at(i) <= '9') {
        v = v * 10u + static_cast<uint32_t>(at(i) - '0');
        ++i;
    }
    if (neg) v = 0u - v;
    return static_cast<int>(v);
}

float String::ToFloat() const {
    std::string s = ToUtf8();
    return static_cast<float>(atof(s.c_str()));
}

std::string String::ToUtf8() const {
    std::string out;
    out.reserve(Length());
    for (int i = 0; i < Length(); ++i) {
        unsigned c = Data()[i];
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Decodes UTF-8 with up to three-byte sequences; false on anything else.
static bool DecodeUtf8(const unsigned char* p, size_t n, std::vector<Char>& out) {
    size_t i = 0;
    while (i < n) {
        unsigned b0 = p[i];
        if (b0 < 0x80) {
            out.push_back(static_cast<Char>(b0));
            i += 1;
        } else if ((b0 & 0xE0) == 0xC0) {
            if (i + 1 >= n || (p[i + 1] & 0xC0) != 0x80) return false;
            out.push_back(static_cast<Char>(((b0 & 0x1F) << 6) | (p[i + 1] & 0x3F)));
            i += 2;
        } else if ((b0 & 0xF0) == 0xE0) {
            if (i + 2 >= n || (p[i + 1] & 0xC0) != 0x80 || (p[i + 2] & 0xC0) != 0x80) return false;
            out.push_back(static_cast<Char>((b0 << 12) | ((p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F)));
            i += 3;
        } else {
            return false;
        }
    }
    return true;
}

String String::FromUtf8(const std::string& s) {
    std::vector<Char> out;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(s.data());
    if (!DecodeUtf8(p, s.size(), out)) {
        out.clear();
        for (unsigned char c : s) out.push_back(c);
    }
    return String(out.data(), static_cast<int>(out.size()));
}

String String::LoadError() { return g_loadError; }

String String::Load(FILE* fp) {
    std::vector<unsigned char> buf;
    unsigned char chunk[4096];
    for (;;) {
        size_t n = fread(chunk, 1, sizeof chunk, fp);
        if (n == 0) break;
        buf.insert(buf.end(), chunk, chunk + n);
    }
    if (buf.empty()) return String();
    g_loadError = String();

    std::vector<Char> out;
    const unsigned char* p = buf.data();
    size_t n = buf.size();
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        for (size_t i = 2; i + 1 < n; i += 2) out.push_back(static_cast<Char>(p[i] | (p[i + 1] << 8)));
    } else if (n >= 2 && p[0] == 0xFE && p[1] == 0xFF) {
        for (size_t i = 2; i + 1 < n; i += 2) out.push_back(static_cast<Char>((p[i] << 8) | p[i + 1]));
    } else {
        if (n > 2 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
            p += 3;
            n -= 3;
        }
        if (!DecodeUtf8(p, n, out)) {
            g_loadError = String("Invalid UTF-8");
            out.clear();
            for (size_t i = 0; i < n; ++i) out.push_back(p[i]);
        }
    }
    if (out.empty()) return String();
    return String(out.data(), static_cast<int>(out.size()));
}
