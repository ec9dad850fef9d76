// Heap allocations of the editor's working copy once a segment is loaded:
// the global operator new is replaced by one that counts. A full segment of
// long comments is loaded, then every edit the editor makes is run over it
// many times, and loads of other segments in between.
//
//   lumera_working_copy_allocations   prints the count; 0 is the target
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <string_view>

#include "core/editor/working_segment.h"
#include "core/model/program_store.h"

namespace {

std::atomic<bool> g_counting{false};
std::atomic<long> g_count{0};

void* Allocate(std::size_t size) {
  if (g_counting.load(std::memory_order_relaxed)) g_count.fetch_add(1);
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

int main() {
  using lumera::Command;
  lumera::ProgramStore store;
  std::string longest;
  while (longest.size() < lumera::kMaxCommentChars) longest += "ż";
  for (int segment = 0; segment < 2; ++segment) {
    for (int slot = 0; slot < lumera::kCommandsPerSegment; ++slot) {
      store.SetCommand(segment, slot,
                       Command{1, static_cast<std::uint8_t>(slot), 5});
      store.SetComment(segment, slot, slot % 2 ? longest : "3 krótki");
    }
  }
  const std::string_view long_text = longest;
  lumera::WorkingSegment rows;
  rows.Load(store, 0);

  g_counting = true;
  for (int round = 0; round < 200; ++round) {
    rows.Remove(round % rows.size());
    rows.Insert(round % rows.size(), Command{2, 1, 1}, longest);
    rows.Move(0, rows.size() - 1);
    rows.Move(rows.size() - 1, 0);
    rows.SetCommand(round % rows.size(), Command{3, 0x0F, 5});
    rows.SetParam(round % rows.size(), 2, 9);
    rows.SetComment(round % rows.size(),
                    round % 2 ? long_text : std::string_view("1 inny"));
    rows.SetCurrentCell(round % rows.size(), 6);
    if (round % 50 == 0) rows.Load(store, round % 100 == 0 ? 1 : 0);
  }
  g_counting = false;

  std::printf("working copy: %ld allocations in 200 rounds of edits\n",
              g_count.load());
  return g_count.load() == 0 ? 0 : 1;
}
