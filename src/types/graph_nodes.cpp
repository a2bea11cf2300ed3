// The node methods of `graph`, which treat the node values as list methods treat elements:
// size, get, Get, [], get0, Get0, args, find and its family, set, Set, ins, Ins, ins0, Ins0,
// del0, Del0, del, Del, and the graph made from values. `ins` and `del` whose first argument
// is `true` work on edges instead (graph_edges.cpp). A method that fails leaves the graph as
// it was: everything that can fail is checked or built before the graph changes.
#include <algorithm>
#include <unordered_set>

#include "core/messages.h"
#include "core/type_table.h"
#include "core/values.h"
#include "exec/calls.h"
#include "types/graph_common.h"

namespace kavor {

namespace {

using Values = std::vector<std::unique_ptr<Object>>;

// ---- reading -----------------------------------------------------------------------------

void nodeCount(MethodCall& call) {
  call.out().pushOwned(makeInt(static_cast<long long>(definedGraph(call).nodeCount())), Access::ConstResult);
}

void nodesAt(MethodCall& call, bool fromEnd) {
  GraphRecord& graph = definedGraph(call);
  call.require(checkCountRange(call.args, 1, -1));
  for (size_t i = 0; i < call.args.size(); ++i) pushPlace(call, *nodeArgument(call, graph, i, fromEnd).value);
}

void getFront(MethodCall& call) { nodesAt(call, false); }
void getBack(MethodCall& call) { nodesAt(call, true); }

void endNode(MethodCall& call, bool last) {
  GraphRecord& graph = definedGraph(call);
  if (graph.nodeCount() == 0) call.fail(message("insistlee"));
  pushPlace(call, *graph.node(last ? graph.nodeCount() - 1 : 0).value);
}

void getFirst(MethodCall& call) { endNode(call, false); }
void getLast(MethodCall& call) { endNode(call, true); }

// `g.args(false)` (and `g.args()`, as for a list): the node values; `g.args(true)`: the
// edge values in chain order.
void allValues(MethodCall& call) {
  GraphRecord& graph = definedGraph(call);
  if (!call.args.empty() && call.usedArgument(0).boolValue()) {
    for (GraphEdge& edge : graph.chain) pushPlace(call, *edge.value);
    return;
  }
  for (size_t i = 0; i < graph.nodeCount(); ++i) pushPlace(call, *graph.node(i).value);
}

// The position of the first (or of every) node, from the front or from the end, for which
// the code is true; positions are counted from where the search starts.
void search(MethodCall& call, bool fromEnd, bool all) {
  GraphRecord& graph = definedGraph(call);
  ElementCode code(call);
  GraphHold hold(graph);
  // The code may have replaced the whole graph; what follows would read a stale one.
  searchElements(
      call, code, graph.nodeCount(), fromEnd, all, [&](size_t i) -> Object& { return *graph.node(i).value; },
      [&] { return hold.alive(); });
}

void findFirst(MethodCall& call) { search(call, false, false); }
void findLast(MethodCall& call) { search(call, true, false); }
void findAll(MethodCall& call) { search(call, false, true); }
void findAllBack(MethodCall& call) { search(call, true, true); }

// `graph(v1, v2, ...)`: a new graph whose nodes hold the values.
void graphFromValues(MethodCall& call) {
  auto made = std::make_unique<Object>('g');
  Values values = buildElements(call, 0, 1);
  graphOf(*made).insertNodes(0, values);
  call.out().pushOwned(std::move(made), Access::ConstResult);
}

// ---- changing ----------------------------------------------------------------------------

// Pairs (position, value) from argument `first` on.
void requirePairs(const MethodCall& call, size_t first) {
  size_t count = call.args.size() - first;
  if (count == 0 || count % 2 != 0) call.fail(message("anzargposger"));
}

void setPairs(MethodCall& call, bool fromEnd) {
  GraphRecord& graph = changeableGraph(call, false);
  requirePairs(call, 0);
  std::vector<Object*> targets;
  targets.reserve(call.args.size() / 2);
  for (size_t i = 0; i < call.args.size(); i += 2) {
    Object& value = *nodeArgument(call, graph, i, fromEnd).value;
    requireReleasable(call, value);
    targets.push_back(&value);
  }
  Values values = buildElements(call, 1, 2);
  storeValues(call, targets, values);
}

void setFront(MethodCall& call) { setPairs(call, false); }
void setBack(MethodCall& call) { setPairs(call, true); }

// Pairs (position, value), inserted one after the other, so that each value stands at its
// position in the graph as it is when that pair is reached.
void insertPairs(MethodCall& call, bool fromEnd) {
  Selection selection = readSelection(call);
  if (selection.edges) return insertEdges(call, selection.first, fromEnd);
  GraphRecord& graph = changeableGraph(call, true);
  requirePairs(call, selection.first);
  std::vector<size_t> positions;
  positions.reserve(call.args.size() / 2);
  for (size_t i = selection.first; i < call.args.size(); i += 2)
    positions.push_back(nodePosition(call, graph.nodeCount() + positions.size(), i, fromEnd, PositionKind::Gap));
  Values values = buildElements(call, selection.first + 1, 2);
  for (size_t k = 0; k < values.size(); ++k) {
    Values one;
    one.push_back(std::move(values[k]));
    graph.insertNodes(positions[k], one);
  }
}

void insertFront(MethodCall& call) { insertPairs(call, false); }
void insertBack(MethodCall& call) { insertPairs(call, true); }

void insertValues(MethodCall& call, bool atEnd) {
  GraphRecord& graph = changeableGraph(call, true);
  Values values = buildElements(call, 0, 1);
  graph.insertNodes(atEnd ? graph.nodeCount() : 0, values);
}

void insertFirst(MethodCall& call) { insertValues(call, false); }
void insertLast(MethodCall& call) { insertValues(call, true); }

// Removes the nodes at `positions` (ascending, distinct) with their edges; nothing is
// removed when a value that would go holds a container a loop runs over.
void removeNodes(const MethodCall& call, GraphRecord& graph, const std::vector<size_t>& positions) {
  for (size_t position : positions) {
    const GraphNode& node = graph.node(position);
    requireReleasable(call, *node.value);
    for (const GraphEdge* edge : node.incident) requireReleasable(call, *edge->value);
  }
  Values taken;
  graph.removeNodes(positions, taken);
  destroyTakenObjects(taken);
}

void removeEnd(MethodCall& call, bool last) {
  GraphRecord& graph = changeableGraph(call, true);
  if (graph.nodeCount() == 0) call.fail(message("insistlee"));
  removeNodes(call, graph, {last ? graph.nodeCount() - 1 : 0});
}

void removeFirst(MethodCall& call) { removeEnd(call, false); }
void removeLast(MethodCall& call) { removeEnd(call, true); }

void removePositions(MethodCall& call, bool fromEnd) {
  Selection selection = readSelection(call);
  if (selection.edges) return removeEdges(call, selection.first, fromEnd);
  GraphRecord& graph = changeableGraph(call, true);
  call.require(checkCountRange(call.args, static_cast<long>(selection.first) + 1, -1));
  std::vector<size_t> positions;
  positions.reserve(call.args.size());
  std::unordered_set<size_t> seen;
  for (size_t i = selection.first; i < call.args.size(); ++i) {
    size_t position = nodePosition(call, graph.nodeCount(), i, fromEnd);
    if (!seen.insert(position).second) call.fail(fillKey("mehloeknonicerl", {std::to_string(position)}));
    positions.push_back(position);
  }
  std::sort(positions.begin(), positions.end());
  removeNodes(call, graph, positions);
}

void removeFront(MethodCall& call) { removePositions(call, false); }
void removeBack(MethodCall& call) { removePositions(call, true); }

const MethodEntry kNodeMethods[] = {
    {"\xA7", true, true, graphFromValues},
    {"\xA7", true, false, insertLast},
    {"size\xA7\xA7", false, true, nodeCount},
    {"get\xA7", true, true, getFront},
    {"Get\xA7", true, true, getBack},
    {"[]\xA7", true, true, getFront},
    {"get0\xA7\xA7", false, true, getFirst},
    {"Get0\xA7\xA7", false, true, getLast},
    {"args\xA7\xA7", false, true, allValues},
    {"args\xA7" "bool;\xA7", false, true, allValues},
    {"find\xA7", true, true, findFirst},
    {"Find\xA7", true, true, findLast},
    {"find_all\xA7", true, true, findAll},
    {"Find_all\xA7", true, true, findAllBack},
    {"set\xA7", true, false, setFront},
    {"Set\xA7", true, false, setBack},
    {"ins\xA7", true, false, insertFront},
    {"Ins\xA7", true, false, insertBack},
    {"ins0\xA7", true, false, insertFirst},
    {"Ins0\xA7", true, false, insertLast},
    {"del0\xA7\xA7", false, false, removeFirst},
    {"Del0\xA7\xA7", false, false, removeLast},
    {"del\xA7", true, false, removeFront},
    {"Del\xA7", true, false, removeBack},
};

}  // namespace

void registerGraphNodeMethods() { registerMethods('g', kNodeMethods, std::size(kNodeMethods)); }

}  // namespace kavor
