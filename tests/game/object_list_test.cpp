#include "game/object_list.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

using game::ObjectList;

TEST(ObjectListTest, ErasingWhileWalkingVisitsEveryElementOnceAndKeepsOrder) {
  std::vector<int> values = {0, 1, 2, 3, 4, 5};
  ObjectList<int> list;
  for (int& v : values) list.push_back(&v);
  std::vector<int> visited;
  for (auto it = list.begin(); it != list.end();) {
    visited.push_back(**it);
    it = **it % 2 == 0 ? list.erase(it) : std::next(it);
  }
  EXPECT_EQ(visited, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  std::vector<int> left;
  for (const int* v : static_cast<const ObjectList<int>&>(list)) left.push_back(*v);
  EXPECT_EQ(left, (std::vector<int>{1, 3, 5}));
  EXPECT_EQ(list.size(), 3);
  for (auto it = list.begin(); it != list.end();) it = list.erase(it);
  EXPECT_EQ(list.begin(), list.end());
  EXPECT_EQ(values[1], 1);  // erasing never destroys
}

TEST(ObjectListTest, AnObjectInTwoListsSurvivesClearingOne) {
  auto* shared = new int(42);
  ObjectList<int> owner;
  ObjectList<int> borrower;
  owner.push_back(shared);
  borrower.push_back(shared);
  borrower.clear();
  EXPECT_EQ(*owner.front(), 42);
  owner.destroyAll();
  EXPECT_EQ(owner.size(), 0);
}

}  // namespace
