// The edge methods of `graph`: adding and removing edges (`ins` and `del` with `true`), the
// edge values between two nodes (`graph`), `def`, and the counts of `size`. Counts come from
// what each node and each pair of nodes keeps, never from a walk over the graph.
#include <cstdint>
#include <optional>
#include <unordered_set>

#include "core/messages.h"
#include "core/type_table.h"
#include "core/values.h"
#include "exec/calls.h"
#include "numbers/bigint.h"
#include "types/graph_common.h"

namespace kavor {

namespace {

void requireTriples(const MethodCall& call, size_t first) {
  size_t count = call.args.size() - first;
  if (count == 0 || count % 3 != 0) call.fail(message("anzargposvie3"));
}

}  // namespace

// Triples (source, target, value) from argument `first` on: each adds an edge as the last
// parallel edge of its pair.
void insertEdges(MethodCall& call, size_t first, bool fromEnd) {
  GraphRecord& graph = changeableGraph(call, true);
  requireTriples(call, first);
  std::vector<std::pair<GraphNode*, GraphNode*>> ends;
  for (size_t i = first; i < call.args.size(); i += 3)
    ends.emplace_back(&nodeArgument(call, graph, i, fromEnd), &nodeArgument(call, graph, i + 1, fromEnd));
  std::vector<std::unique_ptr<Object>> values = buildElements(call, first + 2, 3);
  for (size_t k = 0; k < values.size(); ++k) graph.addEdge(*ends[k].first, *ends[k].second, std::move(values[k]));
}

// Triples (source, target, ordinal) from argument `first` on, each naming an edge as it is
// before the call.
void removeEdges(MethodCall& call, size_t first, bool fromEnd) {
  GraphRecord& graph = changeableGraph(call, true);
  requireTriples(call, first);
  std::vector<GraphEdge*> doomed;
  std::unordered_set<GraphEdge*> seen;
  for (size_t i = first; i < call.args.size(); i += 3) {
    GraphNode& source = nodeArgument(call, graph, i, fromEnd);
    GraphNode& target = nodeArgument(call, graph, i + 1, fromEnd);
    GraphEdge& edge = parallelEdge(call, graph, source, target, i + 2);
    if (!seen.insert(&edge).second)
      call.fail(fillKey("mehloekannicerl", {std::to_string(graph.positionOf(source)), std::to_string(graph.positionOf(target))}));
    requireReleasable(call, *edge.value);
    doomed.push_back(&edge);
  }
  std::vector<std::unique_ptr<Object>> taken;
  for (GraphEdge* edge : doomed) taken.push_back(graph.removeEdge(*edge));
  destroyTakenObjects(taken);
}

namespace {

// `g.graph(a, b)`: the values of the edges from a to b in ordinal order, as places;
// `g.graph(a, b, k)`: the value of parallel edge k.
void edgeValues(MethodCall& call) {
  GraphRecord& graph = definedGraph(call);
  call.require(checkCountRange(call.args, 2, 3));
  GraphNode& source = nodeArgument(call, graph, 0, false);
  GraphNode& target = nodeArgument(call, graph, 1, false);
  if (call.args.size() == 3) {
    pushPlace(call, *parallelEdge(call, graph, source, target, 2).value);
    return;
  }
  for (GraphEdge* edge : graph.edgesBetween(source, target)) pushPlace(call, *edge->value);
}

// The position int argument `index` names when it names one of `count`; nothing otherwise.
std::optional<size_t> existing(const MethodCall& call, size_t index, int64_t count) {
  call.require(checkType(call.args, index, 'i', true));
  const BigInt& given = call.args[index].object->resolve(true).asInt();
  if (!given.fitsIn(0, count - 1)) return std::nullopt;
  return static_cast<size_t>(*given.toInt64());
}

// `g.def(a)`, `g.def(a, b)`, `g.def(a, b, k)`: whether the node, an edge from a to b, or
// parallel edge k of that pair exists.
void exists(MethodCall& call) {
  GraphRecord& graph = definedGraph(call);
  call.require(checkCountRange(call.args, 1, 3));
  // Every argument is checked, also those after a position that names nothing.
  std::optional<size_t> positions[3];
  for (size_t i = 0; i < call.args.size(); ++i)
    positions[i] = existing(call, i, i < 2 ? static_cast<int64_t>(graph.nodeCount()) : INT64_MAX);
  bool found = positions[0].has_value();
  if (found && call.args.size() > 1) {
    found = positions[1].has_value();
    if (found) {
      size_t parallel = graph.edgesBetween(graph.node(*positions[0]), graph.node(*positions[1])).size();
      found = call.args.size() == 2 ? parallel > 0 : positions[2].has_value() && *positions[2] < parallel;
    }
  }
  call.out().pushOwned(makeBool(found), Access::ConstResult);
}

void pushCount(MethodCall& call, size_t count) {
  call.out().pushOwned(makeInt(static_cast<long long>(count)), Access::ConstResult);
}

// `g.size(true)`: the edge count; `g.size(false)`: the node count.
void selectedCount(MethodCall& call) {
  GraphRecord& graph = definedGraph(call);
  pushCount(call, call.usedArgument(0).boolValue() ? graph.edgeCount() : graph.nodeCount());
}

size_t edgesAt(const GraphNode& node, Direction direction) {
  switch (direction) {
    case Direction::Leaving: return node.leaving;
    case Direction::Entering: return node.entering;
    default: return node.leaving + node.entering - node.loops;
  }
}

size_t edgesJoining(const GraphRecord& graph, const GraphNode& a, const GraphNode& b, Direction direction) {
  size_t forward = graph.edgesBetween(a, b).size();
  switch (direction) {
    case Direction::Leaving: return forward;
    case Direction::Entering: return graph.edgesBetween(b, a).size();
    default: return &a == &b ? forward : forward + graph.edgesBetween(b, a).size();
  }
}

void countAtNode(MethodCall& call) {
  GraphRecord& graph = definedGraph(call);
  GraphNode& node = nodeArgument(call, graph, 0, false);
  pushCount(call, edgesAt(node, call.args.size() == 2 ? directionArgument(call, 1) : Direction::Both));
}

void countBetween(MethodCall& call) {
  GraphRecord& graph = definedGraph(call);
  GraphNode& a = nodeArgument(call, graph, 0, false);
  GraphNode& b = nodeArgument(call, graph, 1, false);
  pushCount(call, edgesJoining(graph, a, b, call.args.size() == 3 ? directionArgument(call, 2) : Direction::Both));
}

const MethodEntry kEdgeMethods[] = {
    {"graph\xA7", true, true, edgeValues},
    {"def\xA7", true, true, exists},
    {"size\xA7" "bool;\xA7", false, true, selectedCount},
    {"size\xA7" "int;\xA7", false, true, countAtNode},
    {"size\xA7" "int;char;\xA7", false, true, countAtNode},
    {"size\xA7" "int;int;\xA7", false, true, countBetween},
    {"size\xA7" "int;int;char;\xA7", false, true, countBetween},
};

}  // namespace

void registerGraphEdgeMethods() { registerMethods('g', kEdgeMethods, std::size(kEdgeMethods)); }

}  // namespace kavor
