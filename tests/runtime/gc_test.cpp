// The collector: lazy destruction and block reuse, the write barrier and
// array storage, when a cycle ends and how much marking a step does, and
// memory held outside the collector.
#include <gtest/gtest.h>

#include "runtime/runtime.h"

namespace {

struct Node : public Object {
    static int destroyed;
    Node* next = nullptr;
    Array<int> data;
    Array<Node*> nodes;
    ~Node() override { ++destroyed; }
    void mark() override {
        gc_mark(next);
        gc_mark(data);
        gc_mark(nodes);
    }
};
int Node::destroyed = 0;

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

Node* g_root = nullptr;
void MarkTestRoots() { gc_mark(g_root); }
const int64_t MiB = 1 << 20;

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
        Node::destroyed = Holder::destroyed = 0;
    }
    void TearDown() override { gc_mark_roots = nullptr; }

    // Allocates big arrays nobody keeps.
    static void AllocateGarbage(int64_t bytes) {
        for (int64_t done = 0; done < bytes; done += MiB) Array<char> junk(MiB - 64);
    }
    // Ends the current cycle, then lets later allocations destroy the garbage.
    static void SweepAndDrain() {
        for (int i = 0; i < 2; ++i) {
            AllocateGarbage(GC_CYCLE_BYTES + MiB);
            gc_collect();
        }
        AllocateGarbage(4 * MiB);
    }
};

}  // namespace

TEST_F(Collector, UnreachableObjectsAreDestroyedLazilyAndSmallBlocksReused) {
    // Value initialisation zero-fills an object before its constructor runs
    // and a copy starts out as another object: the header survives both.
    Node* garbage = new Node();  // referenced only from this local
    gc_assign(g_root, new Node());
    gc_assign(g_root->next, new Node(*g_root));
    ASSERT_EQ(gc_list_count(&gc_unmarked_list) + gc_list_count(&gc_queued_list), 3);
    EXPECT_EQ(g_root->GcSize(), static_cast<int>((sizeof(Node) + 7) & ~7));
    gc_init2();
    AllocateGarbage(GC_CYCLE_BYTES + MiB);
    gc_collect();  // sweep: the unreached node is now on the free list
    EXPECT_EQ(Node::destroyed, 0) << "destruction waits for later allocations";
    AllocateGarbage(2 * MiB);
    EXPECT_EQ(Node::destroyed, 1);
    EXPECT_FALSE(gc_is_live_object(garbage));
    EXPECT_TRUE(gc_is_live_object(g_root) && gc_is_live_object(g_root->next));

    // A destroyed small block goes to its size's cache and comes back.
    Node* a = new Node;
    gc_list_unlink(a);
    int size = a->GcSize();
    delete a;
    EXPECT_EQ(gc_cache[size / 8], a);
    EXPECT_EQ(new Node, a);
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

TEST_F(Collector, WhatIsStoredAfterScanningSurvivesAndArraysKeepTheirElements) {
    gc_assign(g_root, new Node);
    gc_init2();  // the root is marked (scanned) now
    Node* kept = new Node;
    gc_assign(g_root->next, kept);  // queued through the barrier
    Node* lost = new Node;
    kept->next = lost;  // kept is not scanned yet, so a plain store is fine
    Node* missed = new Node;
    g_root->data = Array<int>(4);  // arrays pass the barrier by assignment
    kept->nodes = Array<Node*>(3);
    gc_assign(kept->nodes[1], new Node);
    String text("shared");
    {
        Array<String> strings(2);
        strings[0] = text;
        EXPECT_EQ(text.GetRep()->refs, 2);
    }
    Array<int> empty;
    gc_mark_q(empty.GetRep());
    SweepAndDrain();
    EXPECT_TRUE(gc_is_live_object(kept) && gc_is_live_object(lost));
    EXPECT_TRUE(gc_is_live_object(g_root->data.GetRep()));
    EXPECT_TRUE(gc_is_live_object(kept->nodes[1]));
    EXPECT_FALSE(gc_is_live_object(missed));
    EXPECT_EQ(Node::destroyed, 1);
    EXPECT_EQ(text.GetRep()->refs, 1) << "the collected string array released its element";
    // Empty arrays share one static representation that is never collected.
    EXPECT_EQ(empty.GetRep(), &Array<int>::nullRep);
    EXPECT_EQ(Array<Node*>(0).GetRep(), &Array<Node*>::nullRep);
    EXPECT_EQ(Array<int>::nullRep.flags, 3);
}

TEST_F(Collector, MarkingFollowsAllocation) {
    gc_init2();
    gc_barrier(new Node);
    gc_barrier(new Node);
    gc_new_bytes = 0;
    gc_collect();  // nothing allocated: no marking work at all
    EXPECT_EQ(gc_marked_bytes, 0);
    new Node;  // a little allocation buys a little marking: one of the two
    gc_collect();
    EXPECT_EQ(gc_list_count(&gc_queued_list), 1);
}

TEST_F(Collector, BytesHeldOutsideEndCyclesAndPayForDestroyingGarbage) {
    gc_assign(g_root, new Node);
    gc_init2();
    for (int i = 0; i < 3; ++i) new Holder(4 * MiB);  // garbage of a few dozen collected bytes
    for (int i = 0; i < 50; ++i) gc_barrier(new Node);
    int bit = gc_markbit;
    gc_collect();
    EXPECT_NE(gc_markbit, bit) << "12 MiB held outside end the cycle";
    EXPECT_EQ(gc_list_count(&gc_queued_list), 0) << "the queue is drained before the sweep";
    EXPECT_EQ(gc_new_bytes + gc_new_external_bytes, 0);
    EXPECT_EQ(gc_marked_bytes, g_root->GcSize()) << "the next cycle starts with its roots marked";
    EXPECT_EQ(Holder::destroyed, 0) << "destruction still waits for later allocations";

    // Taking 6 MiB outside destroys the oldest garbage until about as much
    // was given back: two holders, not one and not all three.
    gc_external_alloc(6 * MiB);
    EXPECT_EQ(Holder::destroyed, 2);
    EXPECT_EQ(gc_external_bytes, 10 * MiB);
    EXPECT_TRUE(gc_is_live_object(g_root));

    // Below the cycle length nothing is swept, and marking keeps pace with
    // what was taken outside, not only with the collector's few bytes.
    gc_barrier(new Node);
    bit = gc_markbit;
    gc_collect();
    EXPECT_EQ(gc_markbit, bit);
    EXPECT_EQ(gc_list_count(&gc_queued_list), 0);
}
