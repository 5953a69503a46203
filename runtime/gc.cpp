// The collector: allocation with lazy destruction of garbage, the
// incremental marking step and the sweep that ends a cycle.
#include "runtime/gc.h"

#include <cstdlib>
#include <cstring>

#include "runtime/debug.h"

int gc_markbit = 1;
gc_object gc_queued_list{gc_object::static_tag{}};
gc_object gc_unmarked_list{gc_object::static_tag{}};
gc_object gc_marked_list{gc_object::static_tag{}};
gc_object gc_free_list{gc_object::static_tag{}};
gc_object* gc_cache[8];
int64_t gc_new_bytes;
int64_t gc_alloced_bytes;
int64_t gc_max_alloced_bytes;
int64_t gc_marked_bytes;
int64_t gc_free_bytes;
int64_t gc_external_bytes;
int64_t gc_new_external_bytes;
gc_object* gc_locals[1024];
gc_object** gc_locals_sp = gc_locals;
void (*gc_mark_roots)() = nullptr;

// Blocks handed out by gc_object_alloc whose object is not constructed yet.
// Allocations nest only while a new-expression evaluates its arguments, and
// the innermost object is constructed first: a short stack is enough.
struct gc_new_block {
    gc_object* block;
    int size;
};
static const int GC_MAX_NEW_BLOCKS = 64;
static gc_new_block gc_new_blocks[GC_MAX_NEW_BLOCKS];
static int gc_new_block_count = 0;

// Takes a block off the stack; its recorded size, or -1 when it is not there.
static int gc_take_new_block(const gc_object* p) {
    for (int i = gc_new_block_count - 1; i >= 0; --i) {
        if (gc_new_blocks[i].block != p) continue;
        int size = gc_new_blocks[i].size;
        for (int k = i + 1; k < gc_new_block_count; ++k) gc_new_blocks[k - 1] = gc_new_blocks[k];
        --gc_new_block_count;
        return size;
    }
    return -1;
}

// A block that holds no live object (destroyed, or not built yet) is read
// and written through its bytes, never through gc_object's members: its
// header words sit where a live object keeps succ and flags.
namespace {
struct gc_header_offsets {
    size_t succ, flags;
};

// Measured on a static object when first asked for, so that objects freed
// during another file's static initialisation see them too.
const gc_header_offsets& gc_offsets() {
    static const gc_object probe{gc_object::static_tag{}};
    static const gc_header_offsets offsets{
        static_cast<size_t>(reinterpret_cast<const char*>(&probe.succ) - reinterpret_cast<const char*>(&probe)),
        static_cast<size_t>(reinterpret_cast<const char*>(&probe.flags) - reinterpret_cast<const char*>(&probe))};
    return offsets;
}

gc_object* gc_block_next(const gc_object* block) {
    gc_object* next;
    memcpy(&next, reinterpret_cast<const char*>(block) + gc_offsets().succ, sizeof next);
    return next;
}

void gc_block_set_next(gc_object* block, gc_object* next) {
    memcpy(reinterpret_cast<char*>(block) + gc_offsets().succ, &next, sizeof next);
}

int gc_block_size(const gc_object* block) {
    int flags;
    memcpy(&flags, reinterpret_cast<const char*>(block) + gc_offsets().flags, sizeof flags);
    return flags & ~7;
}
}  // namespace

static void gc_list_clear(gc_object* head) {
    head->succ = head;
    head->pred = head;
}

void gc_init1() {
    gc_list_clear(&gc_queued_list);
    gc_list_clear(&gc_unmarked_list);
    gc_list_clear(&gc_marked_list);
    gc_list_clear(&gc_free_list);
    gc_new_block_count = 0;
}

void gc_init2() { gc_mark(); }

void gc_mark() {
    if (gc_mark_roots) gc_mark_roots();
}

void* gc_object::operator new(size_t size) { return gc_object_alloc(static_cast<int>(size)); }
void gc_object::operator delete(void* p) { gc_object_free(static_cast<gc_object*>(p)); }

// Destroys the oldest object on the free list; false when it is empty.
static bool gc_destroy_oldest_garbage() {
    gc_object* p = gc_free_list.succ;
    if (p == &gc_free_list) {
        gc_free_bytes = 0;
        return false;
    }
    gc_list_unlink(p);
    delete p;
    return true;
}

void* gc_object_alloc(int n) {
    if (gc_unmarked_list.succ == nullptr) gc_init1();
    int size = (n + 7) & ~7;
    gc_new_bytes += size;

    // Destroy about as many bytes of garbage as this allocation takes.
    int64_t limit = gc_free_bytes - size;
    if (limit < 0) limit = 0;
    while (gc_free_bytes > limit && gc_destroy_oldest_garbage()) {
    }

    gc_object* p = nullptr;
    if (size < 64 && gc_cache[size >> 3]) {
        p = gc_cache[size >> 3];
        gc_cache[size >> 3] = gc_block_next(p);
    } else {
        // The physical block always has room for the header, even when a
        // caller asks for fewer bytes than that.
        size_t physical = size < static_cast<int>(sizeof(gc_object)) ? sizeof(gc_object) : size;
        p = static_cast<gc_object*>(malloc(physical));
    }
    // The constructor links the object (gc_adopt); until then the size is
    // kept on the side, also for a block freed unbuilt. Nothing is written
    // into the raw block before the constructor runs.
    if (gc_new_block_count == GC_MAX_NEW_BLOCKS) dbg_error("Too many objects under construction");
    gc_new_blocks[gc_new_block_count++] = {p, size};
    gc_alloced_bytes += size;
    if (gc_alloced_bytes > gc_max_alloced_bytes) gc_max_alloced_bytes = gc_alloced_bytes;
    return p;
}

void gc_object::gc_adopt(gc_object* p) {
    int size = gc_take_new_block(p);
    if (size < 0) {
        p->succ = p->pred = nullptr;
        p->flags = 3;
        return;
    }
    p->flags = gc_markbit | size;
    gc_list_append(&gc_unmarked_list, p);
}

void gc_object_free(gc_object* p) {
    // A block whose constructor never finished has its size on the side.
    int size = gc_take_new_block(p);
    if (size < 0) size = gc_block_size(p);
    gc_free_bytes -= size;
    if (size < 64) {
        gc_block_set_next(p, gc_cache[size >> 3]);
        gc_cache[size >> 3] = p;
    } else {
        free(p);
    }
}

void gc_external_alloc(int64_t bytes) {
    if (bytes <= 0) return;
    if (gc_unmarked_list.succ == nullptr) gc_init1();
    gc_external_bytes += bytes;
    gc_new_external_bytes += bytes;
    // Destroy about as much garbage as this adds; a destroyed object counts
    // with its block and with whatever it released outside the collector.
    int64_t left = bytes;
    while (left > 0) {
        int64_t held = gc_free_bytes + gc_external_bytes;
        if (!gc_destroy_oldest_garbage()) break;
        left -= held - (gc_free_bytes + gc_external_bytes);
    }
}

void gc_external_free(int64_t bytes) {
    if (bytes > 0) gc_external_bytes -= bytes;
}

static void gc_scan_queued() {
    gc_object* p = gc_queued_list.succ;
    gc_list_unlink(p);
    gc_list_append(&gc_marked_list, p);
    gc_marked_bytes += p->GcSize();
    p->mark();
}

void gc_collect() {
    gc_locals_sp = gc_locals;
    if (gc_unmarked_list.succ == nullptr) gc_init1();

    // Progress through the cycle: the collector's own allocations and what
    // objects took outside it since the last sweep.
    int64_t progress = gc_new_bytes + gc_new_external_bytes;
    if (progress <= GC_CYCLE_BYTES) {
        // Mark in proportion to what was allocated since the last sweep.
        int64_t older = gc_alloced_bytes - gc_new_bytes;
        int64_t target = gc_new_bytes + older * progress / GC_CYCLE_BYTES;
        while (gc_marked_bytes < target && gc_queued_list.succ != &gc_queued_list) gc_scan_queued();
        return;
    }

    while (gc_queued_list.succ != &gc_queued_list) gc_scan_queued();

    // Sweep: whatever is still unmarked was never reached this cycle.
    int64_t garbage = gc_alloced_bytes - gc_marked_bytes;
    if (garbage != 0 && gc_unmarked_list.succ != &gc_unmarked_list) {
        gc_free_bytes += garbage;
        gc_object* first = gc_unmarked_list.succ;
        gc_object* last = gc_unmarked_list.pred;
        first->pred = gc_free_list.pred;
        gc_free_list.pred->succ = first;
        last->succ = &gc_free_list;
        gc_free_list.pred = last;
    }
    // The marked list becomes the unmarked list of the next cycle.
    if (gc_marked_list.succ != &gc_marked_list) {
        gc_unmarked_list.succ = gc_marked_list.succ;
        gc_unmarked_list.pred = gc_marked_list.pred;
        gc_unmarked_list.succ->pred = &gc_unmarked_list;
        gc_unmarked_list.pred->succ = &gc_unmarked_list;
    } else {
        gc_list_clear(&gc_unmarked_list);
    }
    gc_alloced_bytes = gc_marked_bytes;
    gc_list_clear(&gc_marked_list);
    gc_marked_bytes = 0;
    gc_markbit ^= 1;
    gc_mark();
    gc_new_bytes = 0;
    gc_new_external_bytes = 0;
}

static bool gc_list_contains(const gc_object* head, const void* p) {
    for (const gc_object* q = head->succ; q != head; q = q->succ)
        if (q == p) return true;
    return false;
}

bool gc_is_live_object(const void* p) {
    if (!p || gc_unmarked_list.succ == nullptr) return false;
    return gc_list_contains(&gc_queued_list, p) || gc_list_contains(&gc_unmarked_list, p) ||
           gc_list_contains(&gc_marked_list, p);
}

int gc_list_count(const gc_object* head) {
    int n = 0;
    if (!head->succ) return 0;
    for (const gc_object* q = head->succ; q != head; q = q->succ) ++n;
    return n;
}
