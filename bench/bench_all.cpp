// Registers the benchmarks of every part of the suite.
namespace qvbench {
void registerCommon();
void registerAll() { registerCommon(); }
}  // namespace qvbench
