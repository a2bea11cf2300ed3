// The row of `graph`: node and edge values are Objects of their own (an `any` holding each
// value), written "(n0,n1,...){a->b:value,...}" with the edges in chain order.
#include <algorithm>
#include <tuple>
#include <unordered_map>

#include "core/binary_form.h"
#include "core/containers.h"
#include "core/type_table.h"
#include "types/graph.h"

namespace kavor {

namespace {

void createGraph(Object& object) { object.value = new GraphRecord(); }

void releaseGraph(Object& object) {
  IterationWatch::payloadReleased(object.value);
  destroyContainer(static_cast<GraphRecord*>(object.value));
}

// A fresh any that nothing points at takes every value and mirrors every indirection.
std::unique_ptr<Object> copyPart(Object& part) {
  auto made = std::make_unique<Object>();
  (void)made->constructByTransfer(part, Transfer::SameOrCopy);
  return made;
}

// The copy is built apart first: a source value may lie inside the target's old value.
void copyGraph(Object& target, const Object& source) {
  GraphRecord& from = graphOf(source);
  GraphRecord copy;
  std::vector<std::unique_ptr<Object>> values;
  values.reserve(from.nodeCount());
  for (size_t i = 0; i < from.nodeCount(); ++i) values.push_back(copyPart(*from.node(i).value));
  copy.insertNodes(0, values);
  for (GraphEdge& edge : from.chain)
    copy.addEdge(copy.node(from.positionOf(*edge.source)), copy.node(from.positionOf(*edge.target)),
                 copyPart(*edge.value));
  graphOf(target).swapContents(copy);
  // The old contents, now in `copy`, go the way of every released value.
  std::vector<std::unique_ptr<Object>> taken;
  copy.handOverObjects(taken);
  destroyTakenObjects(taken);
}

// The edges ordered by their ends' positions, parallel edges in ordinal order: two graphs
// with the same nodes are equal when these sequences pair up.
std::vector<const GraphEdge*> edgesByEnds(const GraphRecord& graph) {
  std::vector<const GraphEdge*> edges;
  edges.reserve(graph.edgeCount());
  for (const GraphEdge& edge : graph.chain) edges.push_back(&edge);
  // Slots order the nodes as positions do.
  std::sort(edges.begin(), edges.end(), [](const GraphEdge* a, const GraphEdge* b) {
    return std::tie(a->source->slot, a->target->slot, a->rank) < std::tie(b->source->slot, b->target->slot, b->rank);
  });
  return edges;
}

bool sameGraphs(Object& a, Object& b, PartComparison& parts) {
  GraphRecord& left = graphOf(a);
  GraphRecord& right = graphOf(b);
  if (left.nodeCount() != right.nodeCount() || left.edgeCount() != right.edgeCount()) return false;
  for (size_t i = 0; i < left.nodeCount(); ++i)
    if (!parts.same(*left.node(i).value, *right.node(i).value, false)) return false;
  std::vector<const GraphEdge*> leftEdges = edgesByEnds(left);
  std::vector<const GraphEdge*> rightEdges = edgesByEnds(right);
  for (size_t i = 0; i < leftEdges.size(); ++i) {
    const GraphEdge& l = *leftEdges[i];
    const GraphEdge& r = *rightEdges[i];
    if (left.positionOf(*l.source) != right.positionOf(*r.source) ||
        left.positionOf(*l.target) != right.positionOf(*r.target))
      return false;
    if (!parts.same(*l.value, *r.value, false)) return false;
  }
  return true;
}

bool isEmptyGraph(const Object& object) { return graphOf(object).nodeCount() == 0; }

void visitGraph(const Object& object, PartVisitor& visit) {
  GraphRecord& graph = graphOf(object);
  for (size_t i = 0; i < graph.nodeCount(); ++i) visit.visit(*graph.node(i).value);
  for (GraphEdge& edge : graph.chain) visit.visit(*edge.value);
}

int32_t graphLoops(const Object& object) { return graphOf(object).iterationCount; }

void writeGraph(const Object& object, std::string&, TextParts& parts) {
  GraphRecord& graph = graphOf(object);
  parts.text("(");
  for (size_t i = 0; i < graph.nodeCount(); ++i) {
    if (i > 0) parts.text(",");
    parts.part(*graph.node(i).value);
  }
  parts.text("){");
  bool first = true;
  for (GraphEdge& edge : graph.chain) {
    if (!first) parts.text(",");
    first = false;
    parts.number(static_cast<long long>(graph.positionOf(*edge.source)));
    parts.text("->");
    parts.number(static_cast<long long>(graph.positionOf(*edge.target)));
    parts.text(":");
    parts.part(*edge.value);
  }
  parts.text("}");
}

// Binary item: "g", node count, "g", edge count, "g", the edges' ends as positions, each
// followed by "&" ("0&1&" for 0->1), in chain order, then the node values in position
// order and the edge values in chain order. The ends come first so that the reader has
// every node when an edge value arrives and needs nothing but numbers to place it.
void writeBinaryGraph(const Object& object, std::string& out, TextParts& parts) {
  GraphRecord& graph = graphOf(object);
  out += 'g' + std::to_string(graph.nodeCount()) + 'g' + std::to_string(graph.edgeCount()) + 'g';
  for (GraphEdge& edge : graph.chain)
    out += std::to_string(graph.positionOf(*edge.source)) + '&' + std::to_string(graph.positionOf(*edge.target)) + '&';
  for (size_t i = 0; i < graph.nodeCount(); ++i) parts.part(*graph.node(i).value);
  for (GraphEdge& edge : graph.chain) parts.part(*edge.value);
}

// Takes the node values, puts the nodes into the graph once all have come, then adds each
// edge as its value is about to be read.
class GraphPartSink final : public BinaryPartSink {
 public:
  GraphPartSink(GraphRecord& graph, int64_t nodes, std::vector<std::pair<size_t, size_t>> ends)
      : graph_(graph), nodesLeft_(nodes), ends_(std::move(ends)) {}

  Object* nextPart() override {
    if (nodesLeft_ > 0) {
      --nodesLeft_;
      values_.push_back(std::make_unique<Object>());
      return values_.back().get();
    }
    if (!values_.empty()) graph_.insertNodes(0, values_), values_.clear();
    if (nextEdge_ == ends_.size()) return nullptr;
    auto [source, target] = ends_[nextEdge_++];
    return graph_.addEdge(graph_.node(source), graph_.node(target), std::make_unique<Object>()).value.get();
  }

 private:
  GraphRecord& graph_;
  int64_t nodesLeft_;                               // node values still to come
  std::vector<std::unique_ptr<Object>> values_;     // node values read, until the nodes are made
  std::vector<std::pair<size_t, size_t>> ends_;     // the edges' ends, each below the node count
  size_t nextEdge_ = 0;                             // the edge whose value comes next
};

bool readBinaryGraph(BinaryInput& in, char, Object& target) {
  int64_t nodes, edges;
  if (!in.number(nodes, 'g') || !in.number(edges, 'g')) return false;
  // Grown as records arrive, never reserved from the counts read.
  std::vector<std::pair<size_t, size_t>> ends;
  for (int64_t i = 0; i < edges; ++i) {
    int64_t source, targetNode;
    if (!in.number(source, '&') || !in.number(targetNode, '&')) return false;
    if (source >= nodes || targetNode >= nodes) return false;
    ends.emplace_back(static_cast<size_t>(source), static_cast<size_t>(targetNode));
  }
  in.expectParts(std::make_unique<GraphPartSink>(graphOf(target), nodes, std::move(ends)));
  return true;
}

}  // namespace

extern constinit const TypeOps kGraphOps = {
    .name = "graph",
    .create = createGraph,
    .release = releaseGraph,
    .copy = copyGraph,
    .equals = sameGraphs,
    .isEmpty = isEmptyGraph,
    .makeEmpty = renewPayload,
    .visitParts = visitGraph,
    .loopsRunning = graphLoops,
    .writeText = writeGraph,
    .readText = nullptr,
    .writeBinary = writeBinaryGraph,
    .readBinary = readBinaryGraph,
};

}  // namespace kavor
