// The pointer array behind the loop's filters and idle handlers.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/pointer_array.h"
#include "win32/structured_exception.h"

namespace {

int g_items[8];

std::vector<int*> Contents(CPointerArray<int*>& array) {
    std::vector<int*> out;
    for (int i = 0; i < array.GetSize(); ++i) out.push_back(array[i]);
    return out;
}

TEST(PointerArrayTest, GrowsToOneThenDoublesTheCount) {
    CPointerArray<int*> array;
    const int expected[] = {1, 2, 4, 4, 8, 8, 8, 8};
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(array.Add(&g_items[i]));
        EXPECT_EQ(array.GetCapacity(), expected[i]) << "after " << i + 1 << " adds";
    }
    EXPECT_EQ(array.GetSize(), 8);
    EXPECT_EQ(array[7], &g_items[7]);
}

TEST(PointerArrayTest, RemovesTheFirstEqualElementAndKeepsTheOrder) {
    CPointerArray<int*> array;
    int* a = &g_items[0];
    int* b = &g_items[1];
    int* c = &g_items[2];
    for (int* p : {a, b, a, c}) array.Add(p);

    EXPECT_TRUE(array.Remove(a));
    EXPECT_EQ(Contents(array), (std::vector<int*>{b, a, c}));
    EXPECT_TRUE(array.Remove(a));
    EXPECT_EQ(Contents(array), (std::vector<int*>{b, c}));
    EXPECT_EQ(array.GetCapacity(), 4) << "removal does not shrink the buffer";
}

TEST(PointerArrayTest, RemovingAnUnknownPointerChangesNothing) {
    CPointerArray<int*> array;
    EXPECT_FALSE(array.Remove(&g_items[0]));
    array.Add(&g_items[1]);
    EXPECT_FALSE(array.Remove(&g_items[0]));
    EXPECT_FALSE(array.Remove(nullptr));
    EXPECT_EQ(Contents(array), (std::vector<int*>{&g_items[1]}));
}

TEST(PointerArrayTest, NullIsAnElementLikeAnyOther) {
    CPointerArray<int*> array;
    array.Add(nullptr);
    array.Add(&g_items[0]);
    EXPECT_TRUE(array.Remove(nullptr));
    EXPECT_EQ(Contents(array), (std::vector<int*>{&g_items[0]}));
}

TEST(PointerArrayTest, IndexingOutsideRaisesArrayBoundsExceeded) {
    CPointerArray<int*> array;
    array.Add(&g_items[0]);
    array.Add(&g_items[1]);
    array.Remove(&g_items[1]);  // capacity 2, size 1: index 1 is inside the buffer only
    for (const int index : {-1, 1, 2, 0x7FFFFFFF}) {
        SCOPED_TRACE(index);
        try {
            array[index];
            ADD_FAILURE() << "no exception";
        } catch (const win32::StructuredException& e) {
            EXPECT_EQ(e.code(), 0xC000008Cu);  // EXCEPTION_ARRAY_BOUNDS_EXCEEDED
        }
    }
}

}  // namespace
