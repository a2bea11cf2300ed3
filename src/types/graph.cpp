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

void GraphRecord::renumberNodes(size_t first) {
  for (size_t i = first; i < nodes.size(); ++i) nodes[i]->position = i;
}

void GraphRecord::insertNodes(size_t position, std::vector<std::unique_ptr<Object>>& values) {
  std::vector<std::unique_ptr<GraphNode>> made;
  made.reserve(values.size());
  for (auto& value : values) {
    made.push_back(std::make_unique<GraphNode>());
    made.back()->value = std::move(value);
  }
  nodes.insert(nodes.begin() + static_cast<std::ptrdiff_t>(position), std::make_move_iterator(made.begin()),
               std::make_move_iterator(made.end()));
  renumberNodes(position);
}

void GraphRecord::removeNodes(const std::vector<size_t>& positions, std::vector<std::unique_ptr<Object>>& taken) {
  for (size_t position : positions) {
    GraphNode& doomed = *nodes[position];
    // Removing an edge takes it out of this list too.
    while (!doomed.incident.empty()) taken.push_back(removeEdge(*doomed.incident.back()));
  }
  size_t kept = 0;
  size_t next = 0;
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (next < positions.size() && positions[next] == i) {
      ++next;
      taken.push_back(std::move(nodes[i]->value));
      nodes[i].reset();
      continue;
    }
    if (kept != i) nodes[kept] = std::move(nodes[i]);
    ++kept;
  }
  nodes.resize(kept);
  renumberNodes(positions.empty() ? kept : positions.front());
}

void GraphRecord::permuteNodes(const std::vector<size_t>& order) {
  std::vector<std::unique_ptr<GraphNode>> arranged;
  arranged.reserve(order.size());
  for (size_t from : order) arranged.push_back(std::move(nodes[from]));
  nodes = std::move(arranged);
  renumberNodes(0);
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
  for (auto& node : nodes) {
    std::swap(node->leaving, node->entering);
  }
  for (GraphEdge& edge : chain) {
    std::swap(edge.source, edge.target);
    pairs_[{edge.source, edge.target}].push_back(&edge);
  }
}

void GraphRecord::renumber() {
  nextRank_ = 0;
  for (GraphEdge& edge : chain) edge.rank = nextRank_++;
  for (auto& node : nodes) std::sort(node->incident.begin(), node->incident.end(), byRank);
  for (auto& [pair, edges] : pairs_) std::sort(edges.begin(), edges.end(), byRank);
}

void GraphRecord::handOverObjects(std::vector<std::unique_ptr<Object>>& out) {
  for (auto& node : nodes) out.push_back(std::move(node->value));
  for (GraphEdge& edge : chain) out.push_back(std::move(edge.value));
  nodes.clear();
  chain.clear();
  pairs_.clear();
  nextRank_ = 0;
}

void GraphRecord::swapContents(GraphRecord& other) {
  nodes.swap(other.nodes);
  chain.swap(other.chain);
  pairs_.swap(other.pairs_);
  std::swap(nextRank_, other.nextRank_);
}

}  // namespace kavor
