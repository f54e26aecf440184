// Owners count how many of their kind hold a handle, and close each handle
// exactly once, however the handle came and went.

#include "comlib/unique_handle.h"

#include <gtest/gtest.h>

#include <utility>

#include "comlib/live_objects.h"

namespace {

int closes = 0;
void CountClose(int*) { ++closes; }
using Owner = comlib::UniqueHandle<int*, &CountClose>;

int handles[4];

}  // namespace

TEST(UniqueHandleLiveCount, FollowsEveryWayAHandleComesAndGoes) {
  closes = 0;
  const long before = Owner::Live();
  {
    Owner empty;
    Owner held(&handles[0]);
    EXPECT_EQ(before + 1, Owner::Live()) << "an empty owner does not count";

    Owner filled;
    *filled.put() = &handles[1];
    Owner failed;
    failed.put();  // the creating call gave nothing back
    EXPECT_EQ(before + 3, Owner::Live());
    failed.reset();
    EXPECT_EQ(before + 2, Owner::Live()) << "an emptied owner stops counting";

    Owner moved(std::move(held));
    EXPECT_EQ(before + 2, Owner::Live()) << "a move hands the count on";
    filled = std::move(moved);
    EXPECT_EQ(before + 1, Owner::Live());
    EXPECT_EQ(1, closes) << "the handle that was replaced is closed";

    int* const released = filled.release();
    EXPECT_EQ(&handles[0], released);
    EXPECT_EQ(before, Owner::Live()) << "a released handle is the caller's";
    filled.reset(&handles[2]);
    filled.reset(&handles[3]);
    EXPECT_EQ(before + 1, Owner::Live());
    EXPECT_EQ(2, closes);
  }
  EXPECT_EQ(before, Owner::Live());
  EXPECT_EQ(3, closes);
}

TEST(UniqueHandleLiveCount, GdiOwnersAddUpToTheProgramsCount) {
  const long gdiBefore = comlib::LiveGdiObjects();
  const long gdiplusBefore = comlib::LiveGdiplusObjects();
  {
    comlib::UniqueBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
    comlib::UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(brush && dc);
    EXPECT_EQ(gdiBefore + 2, comlib::LiveGdiObjects());
    EXPECT_EQ(gdiplusBefore, comlib::LiveGdiplusObjects());
  }
  EXPECT_EQ(gdiBefore, comlib::LiveGdiObjects());
}
