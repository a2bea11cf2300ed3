// Reordering a graph: sort and Sort (nodes by value, the edge chain by edge value, or the
// edges at one node among the chain positions they hold), flip (the node order, or every
// edge's direction) and move (the edges of one pair to another). The order is the operator
// "<" of the values, as for lists; it is complete before anything moves, so a failing
// comparison leaves the graph as it was.
#include <algorithm>
#include <optional>
#include <unordered_map>

#include "core/messages.h"
#include "core/payloads.h"
#include "exec/calls.h"
#include "numbers/bigint.h"
#include "types/graph_common.h"

namespace kavor {

namespace {

// `g.sort()`, `g.sort(x, {code})`: the nodes by their values, or by what the code yields
// for each.
void sortNodes(MethodCall& call, bool descending, bool byCode) {
  GraphRecord& graph = changeableGraph(call, true);
  std::optional<ElementCode> code;
  if (byCode) code.emplace(call);
  const size_t count = graph.nodeCount();
  if (count < 2) return;
  std::vector<Object*> values(count);
  for (size_t i = 0; i < count; ++i) values[i] = graph.node(i).value.get();
  GraphHold hold(graph);
  std::vector<size_t> order =
      sortedOrder(call, code ? &*code : nullptr, values, descending, [&] { return hold.alive(); });
  graph.permuteNodes(order);
}

void sortUp(MethodCall& call) { sortNodes(call, false, !call.args.empty()); }
void sortDown(MethodCall& call) { sortNodes(call, true, !call.args.empty()); }

// The order of `edges` by their values.
std::vector<GraphEdge*> sortedEdges(const MethodCall& call, const std::vector<GraphEdge*>& edges, bool descending) {
  std::vector<Object*> values(edges.size());
  for (size_t i = 0; i < edges.size(); ++i) values[i] = edges[i]->value.get();
  std::vector<size_t> order = sortedOrder(call, nullptr, values, descending, [] { return true; });
  std::vector<GraphEdge*> sorted(edges.size());
  for (size_t i = 0; i < edges.size(); ++i) sorted[i] = edges[order[i]];
  return sorted;
}

// `g.sort(true)`: the whole edge chain by edge value; `g.sort(false)`: the nodes.
void sortSelected(MethodCall& call, bool descending) {
  if (!call.usedArgument(0).boolValue()) return sortNodes(call, descending, false);
  GraphRecord& graph = changeableGraph(call, true);
  std::vector<GraphEdge*> edges;
  edges.reserve(graph.edgeCount());
  for (GraphEdge& edge : graph.chain) edges.push_back(&edge);
  if (edges.size() < 2) return;
  graph.reorderChain(sortedEdges(call, edges, descending));
}

void sortSelectedUp(MethodCall& call) { sortSelected(call, false); }
void sortSelectedDown(MethodCall& call) { sortSelected(call, true); }

// `g.sort(n, c)`: the edges at node n in direction c, by value, among the chain positions
// they hold; every other edge keeps its position.
void sortAtNode(MethodCall& call, bool descending) {
  GraphRecord& graph = changeableGraph(call, true);
  GraphNode& node = nodeArgument(call, graph, 0, false);
  Direction direction = directionArgument(call, 1);
  std::vector<GraphEdge*> chosen;
  for (GraphEdge* edge : node.incident)
    if (runsAt(*edge, node, direction)) chosen.push_back(edge);
  if (chosen.size() < 2) return;
  std::vector<GraphEdge*> sorted = sortedEdges(call, chosen, descending);
  std::unordered_map<const GraphEdge*, GraphEdge*> replacement;
  for (size_t i = 0; i < chosen.size(); ++i) replacement.emplace(chosen[i], sorted[i]);
  std::vector<GraphEdge*> order;
  order.reserve(graph.edgeCount());
  for (GraphEdge& edge : graph.chain) {
    auto found = replacement.find(&edge);
    order.push_back(found == replacement.end() ? &edge : found->second);
  }
  graph.reorderChain(order);
}

void sortAtNodeUp(MethodCall& call) { sortAtNode(call, false); }
void sortAtNodeDown(MethodCall& call) { sortAtNode(call, true); }

// `g.flip(false)` (and `g.flip()`, as for a list): the nodes in reverse order, edges
// following their nodes; `g.flip(true)`: every edge reversed, the chain order kept.
void flip(MethodCall& call) {
  GraphRecord& graph = changeableGraph(call, true);
  if (!call.args.empty() && call.usedArgument(0).boolValue()) {
    graph.reverseEdges();
    return;
  }
  std::vector<size_t> order(graph.nodeCount());
  for (size_t i = 0; i < order.size(); ++i) order[i] = order.size() - 1 - i;
  graph.permuteNodes(order);
}

// The node a half of an `any2` argument names: an int that is a position of the graph.
GraphNode& nodeOfHalf(const MethodCall& call, const GraphRecord& graph, size_t index, bool second) {
  Object& pair = call.usedArgument(index);
  Object& half = (second ? pair.asAny2().second : pair.asAny2().first).resolve(true);
  if (half.base() != 'i' || !half.isDefined() || half.isEmpty())
    call.fail(fillKey(second ? "erwtesargtypzweeletyp" : "erwtesargtyperseletyp",
                      {std::to_string(index), "any2", "int"}));
  const BigInt& given = half.asInt();
  if (!given.fitsIn(0, static_cast<int64_t>(graph.nodeCount()) - 1)) call.fail(fillKey("knoexinic", {given.toText()}));
  return graph.node(static_cast<size_t>(*given.toInt64()));
}

// `g.move(any2(a, b), any2(c, d))`: every edge from a to b runs from c to d afterwards, at
// the end of the chain in its order.
void moveEdges(MethodCall& call) {
  GraphRecord& graph = changeableGraph(call, true);
  GraphNode& source = nodeOfHalf(call, graph, 0, false);
  GraphNode& target = nodeOfHalf(call, graph, 0, true);
  GraphNode& newSource = nodeOfHalf(call, graph, 1, false);
  GraphNode& newTarget = nodeOfHalf(call, graph, 1, true);
  std::vector<GraphEdge*> moved = graph.edgesBetween(source, target);
  if (moved.empty()) failNoEdge(call, graph, source, target);
  graph.redirectEdges(moved, newSource, newTarget);
}

const MethodEntry kOrderMethods[] = {
    {"sort\xA7", true, false, sortUp},
    {"Sort\xA7", true, false, sortDown},
    {"sort\xA7" "bool;\xA7", false, false, sortSelectedUp},
    {"Sort\xA7" "bool;\xA7", false, false, sortSelectedDown},
    {"sort\xA7" "int;char;\xA7", false, false, sortAtNodeUp},
    {"Sort\xA7" "int;char;\xA7", false, false, sortAtNodeDown},
    {"flip\xA7\xA7", false, false, flip},
    {"flip\xA7" "bool;\xA7", false, false, flip},
    {"move\xA7" "any2;any2;\xA7", false, false, moveEdges},
};

}  // namespace

void registerGraphOrderMethods() { registerMethods('g', kOrderMethods, std::size(kOrderMethods)); }

}  // namespace kavor
