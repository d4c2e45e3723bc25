#include "sets/change_preview.h"

#include <algorithm>
#include <system_error>
#include <unordered_map>

#include "engine/game_file.h"
#include "platform/file_io.h"

namespace kesta {

namespace {

enum class Op { kKeep, kRemove, kAdd };

// Myers' greedy O(ND) search on the lines between the common head and tail. Past kMaxEdits the rest is
// taken as one replacement: still a correct diff, and its memory stays bounded on files with nothing in
// common.
constexpr std::ptrdiff_t kMaxEdits = 2000;

std::vector<Op> EditScript(const std::vector<int>& a, const std::vector<int>& b) {
  const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(a.size());
  const std::ptrdiff_t m = static_cast<std::ptrdiff_t>(b.size());
  const std::ptrdiff_t offset = n + m + 1;
  std::vector<std::ptrdiff_t> v(2 * offset + 1, 0);
  std::vector<std::vector<std::ptrdiff_t>> trace;
  std::ptrdiff_t found = -1;
  for (std::ptrdiff_t d = 0; d <= n + m && d <= kMaxEdits; ++d) {
    trace.push_back(v);
    for (std::ptrdiff_t k = -d; k <= d; k += 2) {
      std::ptrdiff_t x = (k == -d || (k != d && v[offset + k - 1] < v[offset + k + 1]))
                             ? v[offset + k + 1]
                             : v[offset + k - 1] + 1;
      std::ptrdiff_t y = x - k;
      while (x < n && y < m && a[x] == b[y]) ++x, ++y;
      v[offset + k] = x;
      if (x >= n && y >= m) {
        found = d;
        break;
      }
    }
    if (found >= 0) break;
  }
  std::vector<Op> ops;
  if (found < 0) {
    ops.assign(static_cast<size_t>(n), Op::kRemove);
    ops.insert(ops.end(), static_cast<size_t>(m), Op::kAdd);
    return ops;
  }
  // Walks back through the saved frontiers, from the end to the start.
  std::ptrdiff_t x = n, y = m;
  for (std::ptrdiff_t d = found; d > 0; --d) {
    const std::vector<std::ptrdiff_t>& previous = trace[static_cast<size_t>(d)];
    const std::ptrdiff_t k = x - y;
    const bool down = k == -d || (k != d && previous[offset + k - 1] < previous[offset + k + 1]);
    const std::ptrdiff_t previousK = down ? k + 1 : k - 1;
    const std::ptrdiff_t previousX = previous[offset + previousK];
    const std::ptrdiff_t previousY = previousX - previousK;
    while (x > previousX + (down ? 0 : 1) && y > previousY + (down ? 1 : 0)) {
      ops.push_back(Op::kKeep);
      --x, --y;
    }
    ops.push_back(down ? Op::kAdd : Op::kRemove);
    x = previousX;
    y = previousY;
  }
  while (x > 0 && y > 0) {
    ops.push_back(Op::kKeep);
    --x, --y;
  }
  std::reverse(ops.begin(), ops.end());
  return ops;
}

}  // namespace

std::vector<std::string> SplitKeepingBreaks(std::string_view bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    lines.emplace_back(bytes.substr(start, i + 1 - start));
    start = i + 1;
  }
  if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
  return lines;
}

std::vector<DiffHunk> DiffLines(const std::vector<std::string>& before, const std::vector<std::string>& after,
                                std::size_t context) {
  // The common head and tail need no search; the rest is compared as numbers standing for the lines.
  size_t head = 0;
  while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
  size_t tail = 0;
  while (tail < before.size() - head && tail < after.size() - head &&
         before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
    ++tail;
  std::unordered_map<std::string_view, int> numbers;
  const auto numbered = [&numbers](const std::vector<std::string>& lines, size_t from, size_t to) {
    std::vector<int> result;
    for (size_t i = from; i < to; ++i)
      result.push_back(numbers.try_emplace(lines[i], static_cast<int>(numbers.size())).first->second);
    return result;
  };
  const std::vector<int> a = numbered(before, head, before.size() - tail);
  const std::vector<int> b = numbered(after, head, after.size() - tail);
  std::vector<Op> ops(head, Op::kKeep);
  const std::vector<Op> middle = EditScript(a, b);
  ops.insert(ops.end(), middle.begin(), middle.end());
  ops.insert(ops.end(), tail, Op::kKeep);

  // Each change's removed lines first, then its added ones.
  struct Step {
    Op op;
    size_t oldIndex;
    size_t newIndex;
  };
  std::vector<Step> steps;
  size_t i = 0, j = 0;
  for (size_t at = 0; at < ops.size();) {
    if (ops[at] == Op::kKeep) {
      steps.push_back({Op::kKeep, i++, j++});
      ++at;
      continue;
    }
    size_t end = at;
    while (end < ops.size() && ops[end] != Op::kKeep) ++end;
    const size_t removed = static_cast<size_t>(std::count(ops.begin() + at, ops.begin() + end, Op::kRemove));
    for (size_t r = 0; r < removed; ++r) steps.push_back({Op::kRemove, i++, j});
    for (size_t r = 0; r < end - at - removed; ++r) steps.push_back({Op::kAdd, i, j++});
    at = end;
  }

  std::vector<DiffHunk> hunks;
  for (size_t at = 0; at < steps.size();) {
    if (steps[at].op == Op::kKeep) {
      ++at;
      continue;
    }
    // A hunk runs from `context` kept lines before a change to `context` after its last change, joining
    // changes whose gap is at most twice the context.
    const size_t first = at >= context ? at - context : 0;
    size_t last = at;
    for (size_t scan = at; scan < steps.size(); ++scan) {
      if (steps[scan].op != Op::kKeep) {
        last = scan;
      } else if (scan - last > 2 * context) {
        break;
      }
    }
    const size_t end = std::min(steps.size(), last + 1 + context);
    DiffHunk hunk;
    hunk.oldStart = steps[first].oldIndex + 1;
    hunk.newStart = steps[first].newIndex + 1;
    for (size_t s = first; s < end; ++s) {
      const Step& step = steps[s];
      if (step.op == Op::kKeep) {
        hunk.lines.push_back({' ', before[step.oldIndex]});
        ++hunk.oldCount, ++hunk.newCount;
      } else if (step.op == Op::kRemove) {
        hunk.lines.push_back({'-', before[step.oldIndex]});
        ++hunk.oldCount;
      } else {
        hunk.lines.push_back({'+', after[step.newIndex]});
        ++hunk.newCount;
      }
    }
    if (hunk.oldCount == 0) --hunk.oldStart;
    if (hunk.newCount == 0) --hunk.newStart;
    hunks.push_back(std::move(hunk));
    at = end;
  }
  return hunks;
}

std::vector<FileChange> PreviewChanges(const std::vector<PreparedFile>& prepared) {
  std::vector<FileChange> changes;
  for (const PreparedFile& file : prepared) {
    FileChange change{file.catalogKey, file.target, false, {}};
    std::string current;
    std::error_code error;
    if (std::filesystem::exists(file.target, error))
      current = ReadWholeFile(file.target);
    else
      change.created = true;
    change.hunks = DiffLines(SplitKeepingBreaks(current), SplitKeepingBreaks(JoinGameText(file.lines)));
    if (change.created || !change.hunks.empty()) changes.push_back(std::move(change));
  }
  return changes;
}

std::string UnifiedDiff(const FileChange& change, std::string_view shownPath,
                        const std::function<std::string(std::string_view)>& convert) {
  const auto range = [](size_t start, size_t count) {
    return count == 1 ? std::to_string(start) : std::to_string(start) + "," + std::to_string(count);
  };
  std::string out;
  out += "--- ";
  out += change.created ? std::string_view("/dev/null") : shownPath;
  out += "\n+++ ";
  out += shownPath;
  out += '\n';
  for (const DiffHunk& hunk : change.hunks) {
    out +=
        "@@ -" + range(hunk.oldStart, hunk.oldCount) + " +" + range(hunk.newStart, hunk.newCount) + " @@\n";
    for (const DiffLine& line : hunk.lines) {
      std::string_view text = line.text;
      const size_t body = text.find_first_of("\r\n");
      const std::string_view lineBreak =
          body == std::string_view::npos ? std::string_view() : text.substr(body);
      text = text.substr(0, body == std::string_view::npos ? text.size() : body);
      out += line.kind;
      out += convert ? convert(text) : std::string(text);
      if (lineBreak.empty())
        out += "\n\\ No newline at end of file\n";
      else
        out += lineBreak;
    }
  }
  return out;
}

}  // namespace kesta
