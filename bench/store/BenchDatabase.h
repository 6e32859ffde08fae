// The benchmark's database: 100,000 topics of about 2 KB of RTF-like text in 500 namespaces,
// 1,000 tags and 300,000 tag links, generated once and cached.
#pragma once

#include <string>

inline constexpr int BenchTopics = 100000;
inline constexpr int BenchNamespaces = 500;
inline constexpr int BenchTags = 1000;
inline constexpr int BenchLinksPerTopic = 3;

// Namespace n (0 is the default namespace ""), tag t and topic i as the generator names them.
std::string BenchNamespace(int n);
std::string BenchTag(int t);
std::string BenchTopicTitle(int i);

// Makes sure the file holds the generated database; generates it when it is missing or stale.
void EnsureBenchDatabase(const std::string& path);
