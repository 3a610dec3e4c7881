#pragma once

#include <cstddef>
#include <vector>

namespace VrnDepthFirst {
// Visits every node upstream of start once, producers before the nodes that
// read them and start last: visit(node) in that order. producersOf(node,
// list) fills the list (emptied first) with the node's producers, in the
// order they are to be walked; firstMeeting(node) answers true once per node,
// the first time the walk meets it (start included), and false after. The
// walk keeps its own stack, so that long chains cannot exhaust the thread's;
// a cycle is cut where it closes.
template <class Node, class ProducersOf, class FirstMeeting, class Visit>
void postOrder(Node start, ProducersOf&& producersOf, FirstMeeting&& firstMeeting, Visit&& visit)
{
    // The producers still to walk of every node on the stack lie in one
    // array, each frame's range after that of the frame below it.
    struct Frame
    {
        Node node;
        size_t begin;
        size_t next;
        size_t end;
    };
    std::vector<Node> pending;
    std::vector<Node> found;
    std::vector<Frame> stack;
    auto push = [&](Node n) {
        found.clear();
        producersOf(n, found);
        const size_t begin = pending.size();
        pending.insert(pending.end(), found.begin(), found.end());
        stack.push_back(Frame{n, begin, begin, pending.size()});
    };
    if (!firstMeeting(start))
        return;
    push(start);
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next < top.end) {
            const Node n = pending[top.next++];
            if (firstMeeting(n))
                push(n);
            continue;
        }
        visit(top.node);
        pending.resize(top.begin);
        stack.pop_back();
    }
}
} // namespace VrnDepthFirst
