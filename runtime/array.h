// Array<T>: a fixed-length array whose storage is one collected block.
// Length-0 arrays share one static, never-collected representation per type.
#pragma once
#include <new>
#include <type_traits>

#include "runtime/gc.h"

template <class T>
class Array {
public:
    struct Rep : public gc_object {
        int length;
        T* data() { return reinterpret_cast<T*>(this + 1); }

        Rep() : length(0) {}
        explicit Rep(gc_object::static_tag t) : gc_object(t), length(0) {}
        ~Rep() override {
            T* d = data();
            for (int i = 0; i < length; ++i) d[i].~T();
        }
        void mark() override {
            if constexpr (std::is_pointer<T>::value) {
                T* d = data();
                for (int i = 0; i < length; ++i) gc_mark(d[i]);
            }
        }
        static Rep* alloc(int n) {
            void* block = gc_object_alloc(static_cast<int>(sizeof(Rep) + sizeof(T) * n));
            Rep* rep = new (block) Rep();
            rep->length = n;
            T* d = rep->data();
            for (int i = 0; i < n; ++i) new (d + i) T();
            return rep;
        }
    };
    static_assert(sizeof(Rep) % alignof(T) == 0, "element alignment");

    static Rep nullRep;

    Array() : _rep(&nullRep) {}
    explicit Array(int length) : _rep(length > 0 ? Rep::alloc(length) : &nullRep) {}
    Array(const T* p, int length) : Array(length) {
        for (int i = 0; i < length; ++i) _rep->data()[i] = p[i];
    }
    Array(const Array& a) : _rep(a._rep) {}
    // Assigning an array is a store of a collected pointer: it passes the
    // write barrier, so fields and globals never need a separate gc_assign.
    Array& operator=(const Array& a) {
        gc_barrier(a._rep);
        _rep = a._rep;
        return *this;
    }

    int Length() const { return _rep->length; }
    T& operator[](int i) const { return _rep->data()[i]; }
    T* Data() const { return _rep->data(); }
    Rep* GetRep() const { return _rep; }
    bool operator==(const Array& o) const { return _rep == o._rep; }

    // New array of the first n elements (padded with zero values).
    Array Resize(int n) const {
        Array r(n);
        for (int i = 0; i < n && i < Length(); ++i) r[i] = (*this)[i];
        return r;
    }

private:
    Rep* _rep;
};

template <class T>
typename Array<T>::Rep Array<T>::nullRep{gc_object::static_tag{}};

template <class T>
inline void gc_mark(const Array<T>& a) {
    gc_mark_q(a.GetRep());
}
template <class T>
inline void gc_assign(Array<T>& dst, const Array<T>& src) {
    dst = src;
}
