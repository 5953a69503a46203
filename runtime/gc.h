// Incremental tri-colour mark-and-sweep collector with a write barrier.
// Owns the object header, the four object lists, the small-block cache and
// the collection step that the host runs after every delegate callback.
#pragma once
#include <cstddef>
#include <cstdint>
#include <type_traits>

struct gc_object;

// Every collected object starts with this header (after its vtable).
// gc_object_alloc records each new block's size on a side stack; the base
// constructor takes it from there and links the object, so the header is
// right however the object is constructed (value initialisation zero-fills
// the block first, a copy starts out as another object).
struct gc_object {
    gc_object* succ;
    gc_object* pred;
    int flags;  // bits 3-31: block size in bytes; bits 0-1: colour

    gc_object() { gc_adopt(this); }
    gc_object(const gc_object&) { gc_adopt(this); }
    gc_object& operator=(const gc_object&) { return *this; }
    // Static, never-collected objects (colour 3, on no list).
    struct static_tag {};
    explicit gc_object(static_tag) : succ(nullptr), pred(nullptr), flags(3) {}
    virtual ~gc_object() {}
    virtual void mark() {}

    static void* operator new(size_t size);
    // Placement form, for blocks larger than their class (array storage).
    static void* operator new(size_t, void* where) { return where; }
    static void operator delete(void* p);
    static void operator delete(void*, void*) {}

    int GcSize() const { return flags & ~7; }

private:
    // Writes the header of an object under construction: a block from
    // gc_object_alloc joins the unmarked list, anything else (a static or
    // a local) becomes a never-collected object.
    static void gc_adopt(gc_object* p);
};

// Collector globals.
extern int gc_markbit;
extern gc_object gc_queued_list;
extern gc_object gc_unmarked_list;
extern gc_object gc_marked_list;
extern gc_object gc_free_list;
extern gc_object* gc_cache[8];
extern int64_t gc_new_bytes;
extern int64_t gc_alloced_bytes;
extern int64_t gc_max_alloced_bytes;
extern int64_t gc_marked_bytes;
extern int64_t gc_free_bytes;
extern gc_object* gc_locals[];
extern gc_object** gc_locals_sp;

// Cycle length: a sweep happens once this many bytes were allocated.
const int64_t GC_CYCLE_BYTES = 8388608;

// Memory that collected objects hold outside the collector (pixel buffers,
// textures, sample buffers). What was added since the last sweep counts
// toward the cycle length like the collector's own allocations, and adding
// it destroys about as much garbage (counted with what the garbage held
// outside) as it adds, so garbage that holds big buffers does not pile up.
extern int64_t gc_external_bytes;      // held now by objects not yet destroyed
extern int64_t gc_new_external_bytes;  // added since the last sweep
void gc_external_alloc(int64_t bytes);
void gc_external_free(int64_t bytes);

void gc_init1();
void gc_init2();
void* gc_object_alloc(int size);
void gc_object_free(gc_object* p);
void gc_collect();
// Marks the module globals that hold collected objects (the roots).
void gc_mark();
// The framework installs the function that marks its globals.
extern void (*gc_mark_roots)();

// True when p is the address of a collected object on one of the lists
// (queued, unmarked, marked): such an object has not been found garbage.
bool gc_is_live_object(const void* p);
// Number of objects on a list (for tests and diagnostics).
int gc_list_count(const gc_object* head);

inline void gc_list_unlink(gc_object* p) {
    p->pred->succ = p->succ;
    p->succ->pred = p->pred;
}
inline void gc_list_append(gc_object* head, gc_object* p) {
    p->succ = head;
    p->pred = head->pred;
    head->pred->succ = p;
    head->pred = p;
}

// Marks an object during scanning: white objects turn the other colour,
// move to the marked list and have their own fields marked (depth first).
inline void gc_mark_q(gc_object* p) {
    if (p && (p->flags & 3) == gc_markbit) {
        p->flags ^= 1;
        gc_marked_bytes += p->GcSize();
        gc_list_unlink(p);
        gc_list_append(&gc_marked_list, p);
        p->mark();
    }
}

// The write barrier: a white object stored anywhere is queued (grey).
inline void gc_barrier(gc_object* p) {
    if (p && (p->flags & 3) == gc_markbit) {
        p->flags ^= 1;
        gc_list_unlink(p);
        gc_list_append(&gc_queued_list, p);
    }
}

// The collected object behind a pointer (interfaces are cast dynamically).
template <class T>
inline gc_object* gc_object_of(T* p) {
    if constexpr (std::is_base_of<gc_object, T>::value) return static_cast<gc_object*>(p);
    else return p ? dynamic_cast<gc_object*>(p) : nullptr;
}

// Store an object pointer into a field, global or array element.
template <class T, class U>
inline void gc_assign(T*& dst, U* src) {
    gc_barrier(gc_object_of(src));
    dst = src;
}
template <class T>
inline void gc_assign(T*& dst, std::nullptr_t) {
    dst = nullptr;
}

template <class T>
inline void gc_mark(T* p) {
    gc_mark_q(gc_object_of(p));
}
