// Payload of `graph`: a directed multigraph whose nodes and edges each hold a value.
//
// Nodes are addressed by position (insertion order, renumbered when nodes are removed or
// reordered). Edges form one chain (the order they were added, until a sort or move
// changes it); the parallel edges from one node to another are numbered 0, 1, ... in chain
// order. Every structure a method needs is kept up to date so that no method scans the
// whole graph to answer about one node or one pair: each node keeps its edges and their
// counts, and an index maps each ordered pair of nodes to its parallel edges.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/object.h"

namespace kavor {

struct GraphEdge;

struct GraphNode {
  // An `any` holding the node's value, as a list element is held; never null.
  std::unique_ptr<Object> value;
  // Index of the node's slot in GraphRecord; its position is that index minus the record's
  // head, so removing nodes from the front renumbers none.
  size_t slot = 0;
  // The edges that leave or enter the node (a loop once), ordered by GraphEdge::rank.
  std::vector<GraphEdge*> incident;
  // Edges leaving the node, entering it, and of those the loops (counted in both).
  size_t leaving = 0;
  size_t entering = 0;
  size_t loops = 0;
};

struct GraphEdge {
  // An `any` holding the edge's value; never null.
  std::unique_ptr<Object> value;
  GraphNode* source = nullptr;
  GraphNode* target = nullptr;
  // Strictly increasing along the edge chain; the order of every per-node and per-pair list.
  uint64_t rank = 0;
  // The edge's own place in GraphRecord::chain, for unlinking and moving it in O(1).
  std::list<GraphEdge>::iterator place;
};

// Which edges at a node: leaving it ('+'), entering it ('-') or both ('*').
enum class Direction : char { Leaving = '+', Entering = '-', Both = '*' };

// True when `edge` is at `node` in `direction`.
inline bool runsAt(const GraphEdge& edge, const GraphNode& node, Direction direction) {
  switch (direction) {
    case Direction::Leaving: return edge.source == &node;
    case Direction::Entering: return edge.target == &node;
    default: return true;
  }
}

struct GraphRecord {
  // The edges in chain order; ranks increase along it.
  std::list<GraphEdge> chain;
  // Loops and per-element methods running over the graph; while > 0 its structure (nodes,
  // edges, their order) must not change.
  int32_t iterationCount = 0;

  GraphRecord() = default;
  GraphRecord(const GraphRecord&) = delete;
  GraphRecord& operator=(const GraphRecord&) = delete;

  size_t nodeCount() const { return slots_.size() - head_; }
  size_t edgeCount() const { return chain.size(); }
  GraphNode& node(size_t position) const { return *slots_[head_ + position]; }
  size_t positionOf(const GraphNode& node) const { return node.slot - head_; }

  // The parallel edges from `source` to `target` in chain order (their ordinals); empty
  // when there are none.
  const std::vector<GraphEdge*>& edgesBetween(const GraphNode& source, const GraphNode& target) const;

  // Inserts nodes holding `values`, in order, so that the first stands at `position`.
  void insertNodes(size_t position, std::vector<std::unique_ptr<Object>>& values);
  // Removes the nodes at `positions` (ascending, distinct, valid) with all their edges;
  // their values and those of the edges go to `taken`.
  void removeNodes(const std::vector<size_t>& positions, std::vector<std::unique_ptr<Object>>& taken);
  // Rearranges the nodes so that node i is the one that stood at `order[i]`.
  void permuteNodes(const std::vector<size_t>& order);

  // Appends an edge to the chain, the last parallel edge from `source` to `target`.
  GraphEdge& addEdge(GraphNode& source, GraphNode& target, std::unique_ptr<Object> value);
  // Removes `edge` and hands its value to the caller.
  std::unique_ptr<Object> removeEdge(GraphEdge& edge);
  // Makes each of `edges` (distinct) run from `source` to `target` and puts them at the end
  // of the chain in their order.
  void redirectEdges(const std::vector<GraphEdge*>& edges, GraphNode& source, GraphNode& target);
  // Rearranges the chain: `order` lists every edge once, in the new chain order.
  void reorderChain(const std::vector<GraphEdge*>& order);
  // Reverses every edge; the chain order stays.
  void reverseEdges();

  // Moves every node and edge value into `out` (for destruction without recursion); the
  // graph is left empty.
  void handOverObjects(std::vector<std::unique_ptr<Object>>& out);
  // Exchanges the nodes and edges of the two graphs (not their iteration counts).
  void swapContents(GraphRecord& other);

 private:
  struct PairHash {
    size_t operator()(const std::pair<const GraphNode*, const GraphNode*>& pair) const {
      return std::hash<const void*>()(pair.first) * 31 + std::hash<const void*>()(pair.second);
    }
  };
  using PairIndex =
      std::unordered_map<std::pair<const GraphNode*, const GraphNode*>, std::vector<GraphEdge*>, PairHash>;

  // Links `edge`, already in the chain with its rank, into its nodes and its pair.
  void attach(GraphEdge& edge);
  // Unlinks `edge` from its nodes and its pair; it stays in the chain.
  void detach(GraphEdge& edge);
  // Numbers the chain afresh and restores the rank order of every per-node and per-pair list.
  void renumber();
  // Sets every node's slot to its index, from slot `first` on.
  void renumberSlots(size_t first);
  // Drops the empty slots before the head.
  void dropHead();

  // The nodes: node i in slots_[head_ + i]; the slots before head_ are empty (their nodes
  // were removed from the front) and are reclaimed lazily. slots_[k]->slot == k.
  std::vector<std::unique_ptr<GraphNode>> slots_;
  size_t head_ = 0;

  // The parallel edges of every ordered pair of nodes that has any, in chain order.
  PairIndex pairs_;
  // The rank the next edge appended to the chain gets.
  uint64_t nextRank_ = 0;
};

inline GraphRecord& graphOf(const Object& object) { return *static_cast<GraphRecord*>(object.value); }

}  // namespace kavor
