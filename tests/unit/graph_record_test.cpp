// The graph record keeps per-node and per-pair edge lists beside its edge chain so that no
// method walks the whole graph. A long random sequence of changes must leave them exactly
// what a walk over the chain would give; the program tests see them only one answer at a
// time.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <vector>

#include "core/type_table.h"
#include "types/graph.h"

namespace kavor {
namespace {

std::unique_ptr<Object> value() { return std::make_unique<Object>(); }

// Everything the record keeps beside the chain, recomputed from the chain.
void expectConsistent(const GraphRecord& graph) {
  uint64_t lastRank = 0;
  bool first = true;
  for (const GraphEdge& edge : graph.chain) {
    EXPECT_TRUE(first || edge.rank > lastRank) << "ranks increase along the chain";
    first = false;
    lastRank = edge.rank;
    EXPECT_EQ(&*edge.place, &edge);
  }
  std::map<const GraphNode*, std::vector<const GraphEdge*>> incident;
  std::map<std::pair<const GraphNode*, const GraphNode*>, std::vector<const GraphEdge*>> parallel;
  for (const GraphEdge& edge : graph.chain) {
    incident[edge.source].push_back(&edge);
    if (edge.target != edge.source) incident[edge.target].push_back(&edge);
    parallel[{edge.source, edge.target}].push_back(&edge);
  }
  for (size_t i = 0; i < graph.nodeCount(); ++i) {
    const GraphNode& node = graph.node(i);
    EXPECT_EQ(graph.positionOf(node), i);
    const std::vector<const GraphEdge*>& at = incident[&node];
    EXPECT_EQ(std::vector<const GraphEdge*>(node.incident.begin(), node.incident.end()), at);
    size_t leaving = 0, entering = 0, loops = 0;
    for (const GraphEdge* edge : at) {
      leaving += edge->source == &node;
      entering += edge->target == &node;
      loops += edge->source == &node && edge->target == &node;
    }
    EXPECT_EQ(node.leaving, leaving);
    EXPECT_EQ(node.entering, entering);
    EXPECT_EQ(node.loops, loops);
    for (size_t j = 0; j < graph.nodeCount(); ++j) {
      const std::vector<GraphEdge*>& kept = graph.edgesBetween(node, graph.node(j));
      const std::vector<const GraphEdge*>& expected = parallel[std::make_pair(&node, &graph.node(j))];
      EXPECT_EQ(std::vector<const GraphEdge*>(kept.begin(), kept.end()), expected);
    }
  }
}

TEST(GraphRecord, EdgeListsFollowEveryChange) {
  std::mt19937 random(7);
  auto below = [&](size_t n) { return static_cast<size_t>(random() % n); };
  GraphRecord graph;
  for (int step = 0; step < 3000; ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    size_t nodes = graph.nodeCount();
    size_t edges = graph.edgeCount();
    std::vector<GraphEdge*> chain;
    for (GraphEdge& edge : graph.chain) chain.push_back(&edge);
    std::vector<std::unique_ptr<Object>> taken;
    switch (nodes < 2 ? 0 : below(10)) {
      case 0:
      case 1: {
        std::vector<std::unique_ptr<Object>> values;
        values.push_back(value());
        // Half of them at the front, where freed slots are taken again.
        graph.insertNodes(below(2) == 0 ? 0 : below(nodes + 1), values);
        break;
      }
      case 2:
      case 3: graph.addEdge(graph.node(below(nodes)), graph.node(below(nodes)), value()); break;
      case 4:
        if (edges > 0) taken.push_back(graph.removeEdge(*chain[below(edges)]));
        break;
      case 5: {
        if (nodes < 6) break;
        // Half of the removals take the first nodes, which only moves the head.
        std::vector<size_t> doomed = {below(nodes), below(nodes)};
        if (below(2) == 0) doomed = {0, below(2)};
        std::sort(doomed.begin(), doomed.end());
        doomed.erase(std::unique(doomed.begin(), doomed.end()), doomed.end());
        graph.removeNodes(doomed, taken);
        break;
      }
      case 6: {
        if (edges == 0) break;
        GraphEdge& some = *chain[below(edges)];
        std::vector<GraphEdge*> moved = graph.edgesBetween(*some.source, *some.target);
        graph.redirectEdges(moved, graph.node(below(nodes)), graph.node(below(nodes)));
        break;
      }
      case 7:
        std::shuffle(chain.begin(), chain.end(), random);
        graph.reorderChain(chain);
        break;
      case 8: graph.reverseEdges(); break;
      default: {
        std::vector<size_t> order(nodes);
        for (size_t i = 0; i < nodes; ++i) order[i] = i;
        std::shuffle(order.begin(), order.end(), random);
        graph.permuteNodes(order);
        break;
      }
    }
    if (step % 50 == 0 || step > 2950) expectConsistent(graph);
    destroyTakenObjects(taken);
  }
  EXPECT_GT(graph.edgeCount(), 0u);
}

}  // namespace
}  // namespace kavor
