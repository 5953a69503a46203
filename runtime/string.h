// String: an immutable, reference-counted run of UTF-16 code units that
// lives on the general heap (never in the collected heap), with the number
// texts, searches and file decoding the rest of the system relies on.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

typedef char16_t Char;

template <class T>
class Array;

class String {
public:
    struct Rep {
        int refs;
        int length;
        Char data[1];

        // The shared empty representation is never counted nor freed.
        void retain() {
            if (this != &nullRep) ++refs;
        }
        void release();
        static Rep* alloc(int length);
    };
    static Rep nullRep;

    // A narrow (8-bit) copy with a terminating 0, shared by reference count.
    template <class C>
    class CString {
    public:
        CString() : _block(nullptr) {}
        explicit CString(const String& s);
        CString(const CString& o) : _block(o._block) {
            if (_block) ++_block->refs;
        }
        CString& operator=(const CString& o);
        ~CString();
        operator const C*() const { return _block ? _block->data : empty(); }
        const C* c_str() const { return *this; }

    private:
        struct Block {
            int refs;
            C data[1];
        };
        static const C* empty() {
            static const C zero[1] = {0};
            return zero;
        }
        Block* _block;
    };

    String() : _rep(&nullRep) {}
    String(const String& s) : _rep(s._rep) { _rep->retain(); }
    String(String&& s) noexcept : _rep(s._rep) { s._rep = &nullRep; }
    String(const Char* p, int n);
    String(const wchar_t* p, int n);
    String(const char* s);
    String(int n);
    String(float f);
    ~String() { _rep->release(); }

    String& operator=(const String& s);
    String& operator=(String&& s) noexcept;

    int Length() const { return _rep->length; }
    const Char* Data() const { return _rep->data; }
    Char operator[](int i) const { return _rep->data[i]; }
    Rep* GetRep() const { return _rep; }

    bool operator==(const String& o) const;
    bool operator!=(const String& o) const { return !(*this == o); }
    String operator+(const String& o) const;
    String& operator+=(const String& o) { return *this = *this + o; }

    int Find(const String& s, int start = 0) const;
    int FindLast(const String& s) const;
    bool StartsWith(const String& s) const;
    bool EndsWith(const String& s) const;
    bool Contains(const String& s) const { return Find(s) != -1; }
    String Slice(int from) const { return Slice(from, Length()); }
    String Slice(int from, int to) const;
    Array<String> Split(const String& sep) const;
    String Replace(const String& find, const String& with) const;
    String ToLower() const;
    int ToInt() const;
    float ToFloat() const;

    template <class C>
    CString<C> ToCString() const {
        return CString<C>(*this);
    }
    // UTF-8 text of the string (units below 0x80 one byte, below 0x800 two,
    // others three; no surrogate pairing).
    std::string ToUtf8() const;
    // Decodes UTF-8 (up to three-byte sequences) for text the program builds.
    static String FromUtf8(const std::string& s);

    // Reads and decodes a whole text file (byte-order marks, UTF-16, UTF-8).
    static String Load(FILE* fp);
    // "Invalid UTF-8" after a Load that fell back to raw bytes, else empty.
    static String LoadError();

private:
    explicit String(Rep* rep) : _rep(rep) {}
    Rep* _rep;
};

#include "runtime/array.h"

template <class C>
String::CString<C>::CString(const String& s) {
    int n = s.Length();
    _block = static_cast<Block*>(malloc(sizeof(Block) + n * sizeof(C)));
    _block->refs = 1;
    for (int i = 0; i < n; ++i) _block->data[i] = static_cast<C>(s[i]);
    _block->data[n] = 0;
}
template <class C>
String::CString<C>& String::CString<C>::operator=(const CString& o) {
    if (o._block) ++o._block->refs;
    this->~CString();
    _block = o._block;
    return *this;
}
template <class C>
String::CString<C>::~CString() {
    if (_block && --_block->refs == 0) free(_block);
    _block = nullptr;
}

// Concatenation helpers for literals on the left.
inline String operator+(const char* a, const String& b) { return String(a) + b; }
