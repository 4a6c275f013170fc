// Stack: a last-in-first-out list, and StackType, the interface it meets. The SVG parser keeps
// its open elements in one; hosts may use it too.
//
//   Stack<int> s;
//   s.push(1); s.push(2);
//   s.pop();          // 2, then 1, then absent
//
// `items` is the list itself, its last element on top. A value type; not synchronised.
#pragma once

#include <concepts>
#include <optional>
#include <utility>
#include <vector>

namespace QVToolbox {

// A type with `items`, `push(element)` and `pop()` giving the top element or absent.
template <class S>
concept StackType = requires(S stack, typename S::Element element) {
    { stack.items } -> std::convertible_to<std::vector<typename S::Element>>;
    stack.push(std::move(element));
    { stack.pop() } -> std::same_as<std::optional<typename S::Element>>;
};

template <class T>
struct Stack {
    using Element = T;

    std::vector<T> items;

    void push(T item) { items.push_back(std::move(item)); }
    // Removes and returns the top element; absent when empty.
    std::optional<T> pop() {
        if (items.empty()) return std::nullopt;
        std::optional<T> top(std::move(items.back()));
        items.pop_back();
        return top;
    }
};

static_assert(StackType<Stack<int>>);

}  // namespace QVToolbox
