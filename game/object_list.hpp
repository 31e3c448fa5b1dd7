// The ordered list of pointers in which every group of game objects lives (balls, shots,
// items, effects, particles, the balls resting on the paddle).
#pragma once

#include <cstdint>
#include <iterator>
#include <list>

namespace game {

// Keeps insertion order; iterators stay valid while other elements are inserted or erased,
// and erase() returns the iterator of the next element. The list never owns the objects:
// erasing or clearing frees only the list's own nodes, and whoever takes an object out
// destroys it (a resting ball is in two lists and is owned by one of them).
template <typename T>
class ObjectList {
  using Nodes = std::list<T*>;

 public:
  using iterator = typename Nodes::iterator;

  // Walks the list giving read-only objects.
  class const_iterator {
   public:
    using iterator_category = std::bidirectional_iterator_tag;
    using value_type = const T*;
    using difference_type = std::ptrdiff_t;
    using pointer = const T* const*;
    using reference = const T*;

    const_iterator() = default;
    explicit const_iterator(typename Nodes::const_iterator at) : at_(at) {}
    const T* operator*() const { return *at_; }
    const_iterator& operator++() {
      ++at_;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++at_;
      return before;
    }
    bool operator==(const const_iterator& other) const { return at_ == other.at_; }

   private:
    typename Nodes::const_iterator at_;
  };

  ObjectList() = default;
  ObjectList(const ObjectList&) = delete;
  ObjectList& operator=(const ObjectList&) = delete;

  void push_back(T* object) { nodes_.push_back(object); }
  iterator begin() { return nodes_.begin(); }
  iterator end() { return nodes_.end(); }
  const_iterator begin() const { return const_iterator(nodes_.cbegin()); }
  const_iterator end() const { return const_iterator(nodes_.cend()); }
  iterator erase(iterator at) { return nodes_.erase(at); }
  void clear() { nodes_.clear(); }
  std::int32_t size() const { return static_cast<std::int32_t>(nodes_.size()); }
  bool empty() const { return nodes_.empty(); }
  T* front() { return nodes_.front(); }

  // Destroys every object and empties the list: for the owner of the objects only.
  void destroyAll() {
    for (T* object : nodes_) delete object;
    nodes_.clear();
  }

 private:
  Nodes nodes_;
};

}  // namespace game
