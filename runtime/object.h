// Object, the base of every collected class; interfaces and the base of
// thrown exception values.
#pragma once
#include "runtime/gc.h"
#include "runtime/string.h"

class Object : public gc_object {
public:
    Object() {}
    virtual bool Equals(Object* obj) { return this == obj; }
    virtual int Compare(Object* obj) {
        return static_cast<int>(reinterpret_cast<intptr_t>(this) - reinterpret_cast<intptr_t>(obj));
    }
    virtual String debug();
};

// Base of interfaces; an implementing class derives from it virtually.
class gc_interface {
public:
    virtual ~gc_interface() {}
};

// Base of the exception values that game and framework code throw.
class ThrowableObject : public Object {
public:
    ThrowableObject() {}
};

// Local String arrays of game code.
inline void t_create(int n, String* p) {
    for (int i = 0; i < n; ++i) new (p + i) String();
}
inline void t_create(int n, String* p, const String* src) {
    for (int i = 0; i < n; ++i) new (p + i) String(src[i]);
}
inline void t_destroy(int n, String* p) {
    for (int i = 0; i < n; ++i) p[i].~String();
}
