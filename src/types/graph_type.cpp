// The row of `graph`: node and edge values are Objects of their own (an `any` holding each
// value), written "(n0,n1,...){a->b:value,...}" with the edges in chain order.
#include <algorithm>
#include <tuple>
#include <unordered_map>

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
};

}  // namespace kavor
