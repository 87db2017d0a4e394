// The whole report: which levels to check, their figures (on several threads), and the checks that
// compare levels and judge worlds and the campaign.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

#include "platform/files.h"
#include "worlds/level_checks.h"
#include "worlds/level_convert.h"

namespace dusk {

namespace {

std::filesystem::path Normal(const std::string& path) {
  std::filesystem::path p = std::filesystem::path(path).lexically_normal();
  if (p.filename().empty()) p = p.parent_path();
  return p;
}

std::string FolderOf(const std::filesystem::path& p) {
  const std::string s = p.string();
  return s.empty() ? "." : s;
}

// What the command line names, and the campaign folder around it (empty when there is none).
struct selection {
  std::string campaign;
  std::string world;  // a world folder's name, when one world is asked for
  std::string level;  // a level source's path, when one level is asked for
};

selection Select(const std::string& path) {
  selection s;
  const std::filesystem::path p = Normal(path);
  if (PathKind(path) == 1) {
    s.level = path;
    const std::filesystem::path world = p.parent_path();
    s.world = world.filename().string();
    const std::string above = FolderOf(world.parent_path());
    if (PathKind(FolderOf(world) + "/world.txt") == 1 && PathKind(above + "/worlds.txt") == 1) s.campaign = above;
    return s;
  }
  if (PathKind(path + "/worlds.txt") == 1) {
    s.campaign = path;
    return s;
  }
  s.world = p.filename().string();
  const std::string above = FolderOf(p.parent_path());
  if (PathKind(above + "/worlds.txt") == 1) s.campaign = above;
  return s;
}

std::string Percent(double share) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %%", 100.0 * share);
  return text;
}

std::string Label(const reported_level& l) {
  return LevelNumber(l) + " " + l.shortname;
}

// Reads a world's levels into the report; a level that can't be read is an error of the report.
void AddWorld(campaign_report& report, const listed_world& listed, int number, bool checked) {
  reported_world w;
  w.number = number;
  w.folder = listed.folder;
  w.name = listed.world->name;
  w.featured = listed.world->featured;
  w.first = report.levels.size();
  w.checked = checked;
  for (std::size_t l = 0; l < listed.world->levels.size(); ++l) {
    reported_level r;
    r.world = number;
    r.levelno = static_cast<int>(l);
    r.path = LevelSourcePath(listed, listed.world->levels[l]);
    r.shortname = listed.folder + "/" + listed.world->levels[l];
    r.checked = checked;
    r.lastlevel = l + 1 == listed.world->levels.size();
    source_error error;
    const std::optional<level_source> source = ReadLevelSource(r.path, error);
    if (!source) {
      report.errors.push_back(error.text());
      continue;
    }
    r.source = *source;
    r.place.world = number;
    r.place.levelno = static_cast<int>(l);
    r.place.featured = listed.world->featured;
    // The first level must be hard to lose: how hard is for the designer to judge.
    r.place.forgiveness = l == 1;
    report.levels.push_back(std::move(r));
  }
  w.count = report.levels.size() - w.first;
  report.worlds.push_back(std::move(w));
}

// Levels that share a room, or are the same puzzle, and levels and worlds that share a name: each fault is
// put on the later of the two, or on the earlier when only it is checked.
void CompareLevels(campaign_report& report) {
  std::vector<reported_level>& levels = report.levels;
  auto blame = [&](std::size_t earlier, std::size_t later, const std::string& text) {
    if (levels[later].checked) {
      levels[later].failures.push_back(text + " " + Label(levels[earlier]));
    } else if (levels[earlier].checked) {
      levels[earlier].failures.push_back(text + " " + Label(levels[later]));
    }
  };
  for (std::size_t b = 0; b < levels.size(); ++b) {
    for (std::size_t a = 0; a < b; ++a) {
      if (!levels[a].checked && !levels[b].checked) continue;
      if (levels[a].source.name == levels[b].source.name)
        blame(a, b, "shares its name '" + levels[b].source.name + "' with");
      const room_overlap o = RoomOverlap(levels[b].rooms, levels[a].rooms);
      if (o.share > kMostRoomOverlap) {
        std::string text = "shares a room with";
        std::string rest = ": their floor plans overlap " + Percent(o.share) + " (" + SymmetryName(o.symmetry);
        if (levels[a].source.depth > 1 || levels[b].source.depth > 1)
          rest += ", layer " + std::to_string(o.layerb) + " on layer " + std::to_string(o.layera);
        rest += ")";
        if (levels[b].checked) {
          levels[b].failures.push_back(text + " " + Label(levels[a]) + rest);
        } else {
          levels[a].failures.push_back(text + " " + Label(levels[b]) + rest);
        }
      }
    }
  }
  std::vector<puzzle_forms> forms;
  for (const reported_level& l : levels) forms.push_back(PuzzleForms(l.source));
  for (const same_puzzle& same : SamePuzzles(forms)) {
    blame(same.earlier, same.later, std::string("is the same puzzle, ") + SymmetryName(same.symmetry) + ", as");
  }
}

void CheckWorld(campaign_report& report, reported_world& w) {
  if (w.name.size() > kLongestWorldName) {
    w.failures.push_back("its name '" + w.name + "' has " + std::to_string(w.name.size()) +
                         " characters; the lists show " + std::to_string(kLongestWorldName));
  }
  for (const reported_world& other : report.worlds) {
    if (other.number < w.number && other.name == w.name)
      w.failures.push_back("shares its name with world " + std::to_string(other.number));
  }
  if (w.count < kFewestLevels || w.count > kMostLevels) {
    w.failures.push_back("holds " + std::to_string(w.count) + " levels; a world holds " +
                         std::to_string(kFewestLevels) + " to " + std::to_string(kMostLevels) +
                         ", its bonus level included");
  }
  if ((w.number == 0 || w.number >= 2) && w.featured.empty())
    w.failures.push_back("names no featured kinds: its world.txt needs a 'featured:' line");
  if (w.number >= 3) {
    std::size_t combining = 0;
    for (std::size_t i = w.first; i < w.first + w.count; ++i) combining += Combines(report.levels[i].figures) ? 1 : 0;
    if (combining * 2 < w.count) {
      w.failures.push_back(std::to_string(combining) + " of its " + std::to_string(w.count) +
                           " levels combine its mechanic with an earlier world's; at least half must");
    }
  }
}

}  // namespace

std::string LevelNumber(const reported_level& l) {
  if (l.world < 0 && l.levelno < 0) return "?";
  return (l.world < 0 ? std::string("?") : std::to_string(l.world)) + "-" +
         (l.levelno < 0 ? std::string("?") : std::to_string(l.levelno));
}

std::string Thousands(std::size_t n) {
  const std::string digits = std::to_string(n);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

campaign_report ReportCampaign(const std::string& path, const report_options& options) {
  const auto began = std::chrono::steady_clock::now();
  campaign_report report;
  if (PathKind(path) == 0) {
    report.errors.push_back(path + ": no such file or folder");
    return report;
  }
  const selection wanted = Select(path);
  report.wholecampaign = wanted.world.empty() && wanted.level.empty();

  bool found = false;
  if (!wanted.campaign.empty()) {
    int number = 0;
    for (const listed_world& listed : ListWorlds(wanted.campaign)) {
      if (!listed.world) {
        report.errors.push_back(listed.error);
        continue;
      }
      const bool mine = report.wholecampaign || listed.folder == wanted.world;
      AddWorld(report, listed, number++, mine && wanted.level.empty());
      found = found || mine;
    }
  }
  if (!found && !wanted.world.empty()) {
    // A world, or a level of one, that no campaign lists: checked on its own.
    const std::filesystem::path folder =
        wanted.level.empty() ? Normal(path) : Normal(path).parent_path();
    listed_world listed;
    listed.folder = wanted.world;
    listed.path = FolderOf(folder);
    source_error error;
    listed.world = ReadWorldFile(listed.path + "/world.txt", error);
    if (listed.world) {
      AddWorld(report, listed, -1, wanted.level.empty());
      for (reported_level& l : report.levels) {
        l.place = level_place{};
        l.world = -1;
      }
    } else if (wanted.level.empty()) {
      report.errors.push_back(error.text());
    }
  }
  if (!wanted.level.empty()) {
    const std::filesystem::path file = Normal(wanted.level);
    bool listed = false;
    for (reported_level& l : report.levels) {
      if (Normal(l.path) == file) {
        l.checked = true;
        listed = true;
      }
    }
    if (!listed) {
      // A lone level: only its own checks apply.
      reported_level r;
      r.path = wanted.level;
      r.shortname = wanted.level;
      r.checked = true;
      r.place.forgiveness = true;
      source_error error;
      if (const std::optional<level_source> source = ReadLevelSource(wanted.level, error)) {
        r.source = *source;
        report.levels.push_back(std::move(r));
      } else {
        report.errors.push_back(error.text());
      }
    }
  }

  // The featured kinds of the worlds before each level's own.
  for (reported_level& l : report.levels) {
    if (l.world < 3) continue;
    for (const reported_world& w : report.worlds) {
      if (w.number >= 1 && w.number < l.world && !w.featured.empty()) l.place.earlier.emplace_back(w.number, w.featured);
    }
  }
  for (reported_level& l : report.levels) l.rooms = RoomPlans(BuildSourceLevel(l.source));

  std::vector<reported_level*> jobs;
  for (reported_level& l : report.levels) {
    if (l.checked) jobs.push_back(&l);
  }
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    for (std::size_t i = next++; i < jobs.size(); i = next++) {
      reported_level& l = *jobs[i];
      l.figures = LevelFigures(l.path, l.source, l.place, options);
    }
  };
  std::vector<std::thread> helpers;
  for (int t = 1; t < std::clamp(options.threads, 1, 64) && static_cast<std::size_t>(t) < jobs.size(); ++t)
    helpers.emplace_back(work);
  work();
  for (std::thread& t : helpers) t.join();

  std::vector<std::size_t> states;
  for (reported_level& l : report.levels) {
    if (!l.checked) continue;
    l.failures = LevelFailures(l.source, l.place, l.lastlevel, l.figures);
    states.push_back(l.figures.states);
    report.fromcache += l.figures.cached ? 1 : 0;
  }
  CompareLevels(report);
  for (reported_world& w : report.worlds) {
    if (w.checked) CheckWorld(report, w);
  }
  if (!states.empty()) {
    std::sort(states.begin(), states.end());
    const std::size_t n = states.size();
    report.medianstates = n % 2 == 1 ? states[n / 2] : (states[n / 2 - 1] + states[n / 2]) / 2;
  }
  if (report.wholecampaign && !report.levels.empty()) {
    if (report.medianstates < kLeastMedianStates) {
      report.failures.push_back("the median of the states its levels explore is " + Thousands(report.medianstates) +
                                "; it must be at least " + Thousands(kLeastMedianStates));
    }
    if (report.worlds.size() < kFewestWorlds || report.levels.size() < kFewestCampaignLevels) {
      report.failures.push_back("holds " + std::to_string(report.worlds.size()) + " worlds and " +
                                std::to_string(report.levels.size()) + " levels; it keeps at least " +
                                std::to_string(kFewestWorlds) + " worlds and " + std::to_string(kFewestCampaignLevels) +
                                " levels");
    }
  }
  report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  return report;
}

bool Passed(const campaign_report& report) {
  if (!report.errors.empty() || !report.failures.empty()) return false;
  for (const reported_level& l : report.levels) {
    if (!l.failures.empty()) return false;
  }
  for (const reported_world& w : report.worlds) {
    if (!w.failures.empty()) return false;
  }
  return true;
}

}  // namespace dusk
