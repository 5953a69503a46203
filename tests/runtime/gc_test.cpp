// The collector: lazy destruction and block reuse, the write barrier,
// cache buckets, cycle completion, memory held outside the collector and
// the cost of doing nothing.
#include <gtest/gtest.h>

#include <vector>

#include "runtime/runtime.h"

namespace {

struct Node : public Object {
    static int destroyed;
    Node* next = nullptr;
    Array<int> data;
    ~Node() override { ++destroyed; }
    void mark() override {
        gc_mark(next);
        gc_mark(data);
    }
};
int Node::destroyed = 0;

Node* g_root = nullptr;

// Every member of a list links back to its neighbour (and the walk ends).
bool ListIntact(const gc_object* head) {
    int n = 0;
    for (const gc_object* p = head; n == 0 || p != head; p = p->succ, ++n)
        if (!p->succ || p->succ->pred != p || n > 1000000) return false;
    return true;
}
void MarkTestRoots() { gc_mark(g_root); }

// A fresh collector for each test; blocks of earlier tests are forgotten.
class Collector : public ::testing::Test {
protected:
    void SetUp() override {
        gc_init1();
        for (auto& c : gc_cache) c = nullptr;
        gc_markbit = 1;
        gc_new_bytes = gc_alloced_bytes = gc_max_alloced_bytes = gc_marked_bytes = gc_free_bytes = 0;
        gc_external_bytes = gc_new_external_bytes = 0;
        g_root = nullptr;
        gc_mark_roots = MarkTestRoots;
        Node::destroyed = 0;
    }
    void TearDown() override { gc_mark_roots = nullptr; }

    // Allocates big arrays nobody keeps until a cycle is due.
    static void AllocateGarbage(int64_t bytes) {
        for (int64_t done = 0; done < bytes; done += 1 << 20) Array<char> junk((1 << 20) - 64);
    }
    // Ends the current cycle, then lets later allocations destroy the garbage.
    static void SweepAndDrain() {
        AllocateGarbage(GC_CYCLE_BYTES + (1 << 20));
        gc_collect();
        AllocateGarbage(GC_CYCLE_BYTES + (1 << 20));
        gc_collect();
        AllocateGarbage(4 << 20);
    }
};

}  // namespace

TEST_F(Collector, UnreachableObjectsAreDestroyedLazilyAndTheirBlocksReused) {
    // Value initialisation zero-fills an object before its constructor runs
    // and a copy starts out as another object: the header survives both.
    Node* garbage = new Node();  // referenced only from this local
    gc_assign(g_root, new Node());
    gc_assign(g_root->next, new Node(*g_root));
    ASSERT_TRUE(ListIntact(&gc_unmarked_list));
    EXPECT_EQ(g_root->GcSize(), static_cast<int>((sizeof(Node) + 7) & ~7));
    gc_init2();
    AllocateGarbage(GC_CYCLE_BYTES + (1 << 20));
    gc_collect();  // sweep: the unreached node is now on the free list
    EXPECT_EQ(Node::destroyed, 0) << "destruction waits for later allocations";
    EXPECT_GT(gc_list_count(&gc_free_list), 0);
    AllocateGarbage(2 << 20);
    EXPECT_EQ(Node::destroyed, 1);
    EXPECT_FALSE(gc_is_live_object(garbage));
    EXPECT_TRUE(gc_is_live_object(g_root));
    EXPECT_TRUE(gc_is_live_object(g_root->next));

    // A destroyed small block goes to its size's cache and comes back.
    Node* a = new Node;
    gc_list_unlink(a);
    int size = a->GcSize();
    delete a;
    EXPECT_EQ(gc_cache[size / 8], a);
    Node* b = new Node;
    EXPECT_EQ(b, a);
}

TEST_F(Collector, TheWriteBarrierKeepsAnObjectStoredIntoAScannedOne) {
    gc_assign(g_root, new Node);
    gc_init2();  // the root is marked (scanned) now
    Node* kept = new Node;
    gc_assign(g_root->next, kept);   // queued through the barrier
    Node* lost = new Node;           // stored without the barrier
    kept->next = lost;               // kept is not scanned yet, so this is fine
    Node* missed = new Node;
    g_root->data = Array<int>(4);    // arrays pass the barrier by assignment
    SweepAndDrain();
    EXPECT_TRUE(gc_is_live_object(kept));
    EXPECT_TRUE(gc_is_live_object(lost));
    EXPECT_TRUE(gc_is_live_object(g_root->data.GetRep()));
    EXPECT_FALSE(gc_is_live_object(missed));
    EXPECT_EQ(Node::destroyed, 1);
}

TEST_F(Collector, CacheBucketsBySize) {
    // Blocks freed before any object was built in them: their sizes come
    // from the allocator's side record, not from the unbuilt block.
    gc_object* one = static_cast<gc_object*>(gc_object_alloc(1));
    gc_object_free(one);
    EXPECT_EQ(gc_cache[1], one);
    EXPECT_EQ(gc_object_alloc(3), one);

    gc_object* big = static_cast<gc_object*>(gc_object_alloc(57));
    gc_object_free(big);  // 64 bytes and more go back to free()
    for (auto* c : gc_cache) EXPECT_NE(c, big);
}

TEST_F(Collector, TenMegabytesSinceTheLastSweepFinishCycleInOneCall) {
    gc_assign(g_root, new Node);
    gc_init2();
    for (int i = 0; i < 50; ++i) gc_barrier(new Node);
    EXPECT_EQ(gc_list_count(&gc_queued_list), 51);  // the root was queued by its store too
    int bit = gc_markbit;
    AllocateGarbage(10 << 20);
    gc_collect();
    EXPECT_EQ(gc_list_count(&gc_queued_list), 0);
    EXPECT_EQ(gc_new_bytes, 0);
    EXPECT_NE(gc_markbit, bit);
    // The next cycle starts with its roots already marked.
    EXPECT_EQ(gc_marked_bytes, g_root->GcSize());
}

// An object holding a buffer outside the collector, as a surface holds its
// pixels.
struct Holder : public Object {
    static int destroyed;
    int64_t held;
    explicit Holder(int64_t bytes) : held(bytes) { gc_external_alloc(bytes); }
    ~Holder() override {
        gc_external_free(held);
        ++destroyed;
    }
};
int Holder::destroyed = 0;

TEST_F(Collector, BytesHeldOutsideEndCyclesAndPayForDestroyingGarbage) {
    Holder::destroyed = 0;
    gc_assign(g_root, new Node);
    gc_init2();
    const int64_t MiB = 1 << 20;
    for (int i = 0; i < 3; ++i) new Holder(4 * MiB);  // garbage of a few dozen collected bytes
    int bit = gc_markbit;
    gc_collect();
    EXPECT_NE(gc_markbit, bit) << "12 MiB held outside end the cycle";
    EXPECT_EQ(gc_new_external_bytes, 0);
    EXPECT_EQ(Holder::destroyed, 0) << "destruction still waits for later allocations";

    // Taking 6 MiB outside destroys the oldest garbage until about as much
    // was given back: two holders, not one and not all three.
    gc_external_alloc(6 * MiB);
    EXPECT_EQ(Holder::destroyed, 2);
    EXPECT_EQ(gc_external_bytes, 10 * MiB);
    EXPECT_TRUE(gc_is_live_object(g_root));

    // Below the cycle length nothing is swept, and marking keeps pace with
    // what was taken outside, not only with the collector's few bytes.
    Node* queued = new Node;
    gc_barrier(queued);
    bit = gc_markbit;
    gc_collect();
    EXPECT_EQ(gc_markbit, bit);
    EXPECT_EQ(gc_list_count(&gc_queued_list), 0);
}

TEST_F(Collector, MarkingWorkFollowsAllocation) {
    gc_init2();
    Node* queued = new Node;
    gc_barrier(queued);
    gc_new_bytes = 0;
    gc_collect();  // nothing allocated: no marking work at all
    EXPECT_EQ(gc_list_count(&gc_queued_list), 1);
    EXPECT_EQ(gc_marked_bytes, 0);
    new Node;  // a little allocation buys a little marking
    gc_collect();
    EXPECT_EQ(gc_list_count(&gc_queued_list), 0);
}

TEST_F(Collector, EmptyArraysAreStaticAndNeverCollected) {
    Array<int> empty;
    Array<Node*> alsoEmpty(0);
    EXPECT_EQ(empty.GetRep(), &Array<int>::nullRep);
    EXPECT_EQ(alsoEmpty.GetRep(), &Array<Node*>::nullRep);
    EXPECT_EQ(empty.GetRep()->flags & 3, 3);
    gc_mark_q(empty.GetRep());
    SweepAndDrain();
    EXPECT_EQ(Array<int>::nullRep.length, 0);
    EXPECT_EQ(Array<int>::nullRep.flags, 3);
}

TEST_F(Collector, ArraysMarkTheirObjectsAndReleaseTheirStrings) {
    gc_assign(g_root, new Node);
    gc_init2();
    Array<Node*> nodes(3);
    gc_assign(nodes[1], new Node);
    Node* holder = new Node;
    gc_assign(g_root->next, holder);
    holder->data = Array<int>(1);
    // Keep the node array alive through a node field of its own type.
    struct Holder : public Object {
        Array<Node*> nodes;
        void mark() override { gc_mark(nodes); }
    };
    Holder* h = new Holder;
    h->nodes = nodes;
    static Holder* s_holder = nullptr;
    gc_assign(s_holder, h);  // a global root store passes the barrier too
    gc_mark_roots = [] {
        gc_mark(g_root);
        gc_mark(s_holder);
    };
    String text("shared");
    {
        Array<String> strings(2);
        strings[0] = text;
        EXPECT_EQ(text.GetRep()->refs, 2);
    }
    SweepAndDrain();
    EXPECT_TRUE(gc_is_live_object(nodes[1]));
    EXPECT_EQ(Node::destroyed, 0);
    EXPECT_EQ(text.GetRep()->refs, 1) << "the collected string array released its element";
}
