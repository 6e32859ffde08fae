// The benchmarks' databases: topics of about 2 KB of RTF-like text, each carrying three tags,
// generated once with a fixed seed and cached. The default shape spreads 100,000 topics over 500
// namespaces and 1,000 tags; the flat shapes put every topic in the default namespace, with as
// many tags as topics, so that a tag carries about three topics at any size.
#pragma once

#include <string>

inline constexpr int BenchTopics = 100000;
inline constexpr int BenchNamespaces = 500;
inline constexpr int BenchTags = 1000;
inline constexpr int BenchLinksPerTopic = 3;

struct TBenchShape {
    int Topics;
    int Namespaces; // topic i is in namespace i % Namespaces (0 is the default namespace "")
    int Tags;
};

inline constexpr TBenchShape BenchSpread{BenchTopics, BenchNamespaces, BenchTags};
inline constexpr TBenchShape BenchFlat(int topics) {
    return TBenchShape{topics, 1, topics};
}

// Namespace n (0 is the default namespace ""), tag t and topic i as the generator names them.
std::string BenchNamespace(int n);
std::string BenchTag(int t);
std::string BenchTopicTitle(int i);

// Makes sure the file holds the generated database of that shape; generates it when it is missing,
// stale or of another shape.
void EnsureBenchDatabase(const std::string& path, const TBenchShape& shape = BenchSpread);
