// Loops over a graph, as statements and in expression form:
//   g.for(v, {...})          the node values (v bound to each, as to a list element)
//   g.for(i, v, {...})       also the node's position
//   g.for(n, c, e, {...})    the edges at node n in direction c, in chain order
//   g.for(n, c, m, e, {...}) also the position of each edge's other end
// `For` visits the same in reverse order. While a loop runs the graph's structure may not
// change; node and edge values may.
#include <memory>

#include "core/containers.h"
#include "core/messages.h"
#include "core/values.h"
#include "exec/calls.h"
#include "exec/iteration.h"
#include "types/graph_common.h"

namespace kavor {

namespace {

void bindPosition(const MethodCall& call, size_t variable, size_t position) {
  std::unique_ptr<Object> number = makeInt(static_cast<long long>(position));
  call.require(transfer(*call.args[variable].object, *number, Transfer::Copy));
}

void loopOverNodes(MethodCall& call, GraphRecord& graph, bool backwards) {
  const bool withPosition = call.args.size() == 3;
  LoopVariable value(*call.args[withPosition ? 1 : 0].object, call.access <= Access::ConstObject);
  GraphHold hold(graph);
  const size_t count = graph.nodeCount();
  for (size_t step = 0; hold.alive() && step < count; ++step) {
    size_t position = backwards ? count - 1 - step : step;
    if (withPosition) bindPosition(call, 0, position);
    call.require(transfer(*value, *graph.node(position).value, Transfer::CallAlias));
    if (runLoopBody(call.exec, call.args.back(), call.context, call.results)) break;
  }
}

void loopOverEdges(MethodCall& call, GraphRecord& graph, GraphNode& node, Direction direction, bool backwards) {
  const bool withOtherEnd = call.args.size() == 5;
  LoopVariable value(*call.args[withOtherEnd ? 3 : 2].object, call.access <= Access::ConstObject);
  GraphHold hold(graph);
  // The loop keeps the graph's structure, so the node's edge list stays as it is.
  const std::vector<GraphEdge*>& edges = node.incident;
  const size_t count = edges.size();
  for (size_t step = 0; hold.alive() && step < count; ++step) {
    GraphEdge& edge = *edges[backwards ? count - 1 - step : step];
    if (!runsAt(edge, node, direction)) continue;
    if (withOtherEnd) bindPosition(call, 2, graph.positionOf(edge.source == &node ? *edge.target : *edge.source));
    call.require(transfer(*value, *edge.value, Transfer::CallAlias));
    if (runLoopBody(call.exec, call.args.back(), call.context, call.results)) break;
  }
}

template <bool Backwards>
void graphLoop(MethodCall& call) {
  GraphRecord& graph = definedGraph(call);
  call.require(checkCountRange(call.args, 2, 5));
  const size_t count = call.args.size();
  const bool overEdges = count >= 4;
  for (size_t i = overEdges ? 2 : 0; i + 1 < count; ++i) call.require(checkVariable(call.args, i, false));
  call.require(checkType(call.args, count - 1, 'x', false));
  if (!overEdges) return loopOverNodes(call, graph, Backwards);
  GraphNode& node = nodeArgument(call, graph, 0, false);
  loopOverEdges(call, graph, node, directionArgument(call, 1), Backwards);
}

const MethodEntry kLoopMethods[] = {
    {"for\xA7", true, false, graphLoop<false>},
    {"For\xA7", true, false, graphLoop<true>},
    {"for\xA7", true, true, graphLoop<false>},
    {"For\xA7", true, true, graphLoop<true>},
};

}  // namespace

void registerGraphLoopMethods() { registerMethods('g', kLoopMethods, std::size(kLoopMethods)); }

}  // namespace kavor
