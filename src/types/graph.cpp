// The graph record: nodes, the edge chain, and the per-node and per-pair edge lists kept in
// step with them.
#include "types/graph.h"

#include <algorithm>

namespace kavor {

namespace {

bool byRank(const GraphEdge* a, const GraphEdge* b) { return a->rank < b->rank; }

// Removes `edge` from a list ordered by rank.
void eraseRanked(std::vector<GraphEdge*>& edges, GraphEdge* edge) {
  auto at = std::lower_bound(edges.begin(), edges.end(), edge, byRank);
  if (at != edges.end() && *at == edge) edges.erase(at);
}

const std::vector<GraphEdge*> kNoEdges;

}  // namespace

const std::vector<GraphEdge*>& GraphRecord::edgesBetween(const GraphNode& source, const GraphNode& target) const {
  auto found = pairs_.find({&source, &target});
  return found == pairs_.end() ? kNoEdges : found->second;
}

void GraphRecord::renumberSlots(size_t first) {
  for (size_t k = first; k < slots_.size(); ++k) slots_[k]->slot = k;
}

void GraphRecord::dropHead() {
  if (head_ == 0) return;
  slots_.erase(slots_.begin(), slots_.begin() + static_cast<std::ptrdiff_t>(head_));
  head_ = 0;
  renumberSlots(0);
}

void GraphRecord::insertNodes(size_t position, std::vector<std::unique_ptr<Object>>& values) {
  std::vector<std::unique_ptr<GraphNode>> made;
  made.reserve(values.size());
  for (auto& value : values) {
    made.push_back(std::make_unique<GraphNode>());
    made.back()->value = std::move(value);
  }
  // Nodes put in front of the first one take the empty slots there. When there are too
  // few, the room in front grows with the graph, so that a graph built from the front
  // costs linear time.
  if (position == 0) {
    if (head_ < made.size()) {
      size_t room = std::max(made.size(), nodeCount()) + 8;
      std::vector<std::unique_ptr<GraphNode>> grown(room);
      grown.reserve(room + nodeCount());
      for (size_t k = head_; k < slots_.size(); ++k) grown.push_back(std::move(slots_[k]));
      slots_ = std::move(grown);
      head_ = room;
      renumberSlots(head_);
    }
    head_ -= made.size();
    for (size_t k = 0; k < made.size(); ++k) {
      made[k]->slot = head_ + k;
      slots_[head_ + k] = std::move(made[k]);
    }
    return;
  }
  dropHead();
  slots_.insert(slots_.begin() + static_cast<std::ptrdiff_t>(position), std::make_move_iterator(made.begin()),
                std::make_move_iterator(made.end()));
  renumberSlots(position);
}

void GraphRecord::removeNodes(const std::vector<size_t>& positions, std::vector<std::unique_ptr<Object>>& taken) {
  for (size_t position : positions) {
    GraphNode& doomed = node(position);
    // Removing an edge takes it out of this list too.
    while (!doomed.incident.empty()) taken.push_back(removeEdge(*doomed.incident.back()));
  }
  // Removing the first nodes only moves the head; the empty slots are reclaimed once they
  // outnumber the nodes twice, so a graph emptied from the front costs linear time.
  if (positions.back() == positions.size() - 1) {
    for (size_t k = 0; k < positions.size(); ++k) {
      taken.push_back(std::move(slots_[head_ + k]->value));
      slots_[head_ + k].reset();
    }
    head_ += positions.size();
    if (head_ > 2 * nodeCount() + 16) dropHead();
    return;
  }
  dropHead();
  size_t kept = 0;
  size_t next = 0;
  for (size_t k = 0; k < slots_.size(); ++k) {
    if (next < positions.size() && positions[next] == k) {
      ++next;
      taken.push_back(std::move(slots_[k]->value));
      slots_[k].reset();
      continue;
    }
    if (kept != k) slots_[kept] = std::move(slots_[k]);
    ++kept;
  }
  slots_.resize(kept);
  renumberSlots(positions.front());
}

void GraphRecord::permuteNodes(const std::vector<size_t>& order) {
  std::vector<std::unique_ptr<GraphNode>> arranged;
  arranged.reserve(order.size());
  for (size_t from : order) arranged.push_back(std::move(slots_[head_ + from]));
  slots_ = std::move(arranged);
  head_ = 0;
  renumberSlots(0);
}

void GraphRecord::attach(GraphEdge& edge) {
  // Edges are attached in rank order or followed by renumber(), so appending keeps every
  // list ordered.
  GraphNode& source = *edge.source;
  GraphNode& target = *edge.target;
  source.incident.push_back(&edge);
  ++source.leaving;
  ++target.entering;
  if (&source == &target)
    ++source.loops;
  else
    target.incident.push_back(&edge);
  pairs_[{&source, &target}].push_back(&edge);
}

void GraphRecord::detach(GraphEdge& edge) {
  GraphNode& source = *edge.source;
  GraphNode& target = *edge.target;
  eraseRanked(source.incident, &edge);
  --source.leaving;
  --target.entering;
  if (&source == &target)
    --source.loops;
  else
    eraseRanked(target.incident, &edge);
  auto pair = pairs_.find({&source, &target});
  eraseRanked(pair->second, &edge);
  if (pair->second.empty()) pairs_.erase(pair);
}

GraphEdge& GraphRecord::addEdge(GraphNode& source, GraphNode& target, std::unique_ptr<Object> value) {
  GraphEdge& edge = chain.emplace_back();
  edge.value = std::move(value);
  edge.source = &source;
  edge.target = &target;
  edge.rank = nextRank_++;
  edge.place = std::prev(chain.end());
  attach(edge);
  return edge;
}

std::unique_ptr<Object> GraphRecord::removeEdge(GraphEdge& edge) {
  detach(edge);
  std::unique_ptr<Object> value = std::move(edge.value);
  chain.erase(edge.place);
  return value;
}

void GraphRecord::redirectEdges(const std::vector<GraphEdge*>& edges, GraphNode& source, GraphNode& target) {
  for (GraphEdge* edge : edges) {
    detach(*edge);
    chain.splice(chain.end(), chain, edge->place);
    edge->rank = nextRank_++;
    edge->source = &source;
    edge->target = &target;
    attach(*edge);
  }
}

void GraphRecord::reorderChain(const std::vector<GraphEdge*>& order) {
  for (GraphEdge* edge : order) chain.splice(chain.end(), chain, edge->place);
  renumber();
}

void GraphRecord::reverseEdges() {
  pairs_.clear();
  for (size_t i = 0; i < nodeCount(); ++i) std::swap(node(i).leaving, node(i).entering);
  for (GraphEdge& edge : chain) {
    std::swap(edge.source, edge.target);
    pairs_[{edge.source, edge.target}].push_back(&edge);
  }
}

void GraphRecord::renumber() {
  nextRank_ = 0;
  for (GraphEdge& edge : chain) edge.rank = nextRank_++;
  for (size_t i = 0; i < nodeCount(); ++i) std::sort(node(i).incident.begin(), node(i).incident.end(), byRank);
  for (auto& [pair, edges] : pairs_) std::sort(edges.begin(), edges.end(), byRank);
}

void GraphRecord::handOverObjects(std::vector<std::unique_ptr<Object>>& out) {
  for (size_t i = 0; i < nodeCount(); ++i) out.push_back(std::move(node(i).value));
  for (GraphEdge& edge : chain) out.push_back(std::move(edge.value));
  slots_.clear();
  head_ = 0;
  chain.clear();
  pairs_.clear();
  nextRank_ = 0;
}

void GraphRecord::swapContents(GraphRecord& other) {
  slots_.swap(other.slots_);
  std::swap(head_, other.head_);
  chain.swap(other.chain);
  pairs_.swap(other.pairs_);
  std::swap(nextRank_, other.nextRank_);
}

}  // namespace kavor
