// The level report's checks: the figures of one level (kept in a cache keyed by everything they depend
// on), what a level must pass, and the checks of a world and of the whole campaign.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "puzzle/solver.h"
#include "worlds/level_report.h"
#include "worlds/level_rooms.h"
#include "worlds/level_source.h"

namespace dusk {

struct report_options {
  solver_limits solver;    // per search
  explore_limits explore;  // the dead-space search and the forgiveness figure
  int walks = kReportWalks;
  uint64_t seed = kReportSeed;
  // When set, each level's figures are kept here, keyed by its source, its world's settings, the options
  // and this program, so a report works out again only the levels that changed.
  std::string cachefolder;
  int threads = 1;
};

// Where a level stands in the campaign; world -1 when it isn't in one.
struct level_place {
  int world = -1;
  int levelno = -1;
  std::vector<uint8_t> featured;  // its world's featured kinds
  // The featured kinds of the earlier worlds from world 1 on, by world, for the combined kinds.
  std::vector<std::pair<int, std::vector<uint8_t>>> earlier;
  bool forgiveness = false;  // work out the forgiveness figure
};

// Which levels the removal test applies to: every level from world 2 on, and every bonus level.
bool MechanicTested(const level_place& place);
// A level that may be won by wandering about.
inline bool MayWanderToAWin(const level_place& place) {
  return MayBeWonByChance(place.world, place.levelno);
}

struct combined_test {
  int world = 0;  // the earlier world whose kinds the level holds
  removal_outcome outcome = removal_outcome::absent;
  int strippedmoves = 0;  // the solution without those kinds, when there is one
};

// Everything the report works out for one level.
struct level_figures {
  solve_status status = solve_status::gave_up;
  std::vector<uint8_t> steps;  // the best solution
  std::size_t states = 0;
  std::string limit;  // the solver's budget that ran out, if one did
  first_step_figures first;
  int walks = 0;
  int random = 0;
  int careful = 0;
  bool mechanictested = false;
  removal_outcome mechanic = removal_outcome::absent;
  int strippedmoves = 0;  // the solution without the featured kinds, when there is one
  std::vector<combined_test> combined;
  // Dead space.
  std::vector<int> deadcells;
  std::size_t walledoff = 0;
  bool deadknown = false;
  std::size_t deadmissing = 0;
  std::size_t explored = 0;
  std::string deadlimit;
  // Forgiveness, when asked for.
  std::optional<forgiveness_figures> forgiveness;
  bool cached = false;  // read from the cache
};

level_figures MeasureLevel(const level_source& source, const level_place& place, const report_options& options);

// The cache's text for a level's figures, and back; none when the text is not one whole entry.
std::string FiguresText(const level_figures& figures);
std::optional<level_figures> ParseFigures(std::string_view text);

// The figures of a level, from the cache when it holds them.
level_figures LevelFigures(const std::string& sourcepath, const level_source& source, const level_place& place,
                           const report_options& options);

// Limits the checks hold levels, worlds and the campaign to.
inline constexpr std::size_t kLongestWorldName = 9;
inline constexpr std::size_t kLongestLevelName = 13;
inline constexpr std::size_t kFewestLevels = 10;  // a world's, bonus level included
inline constexpr std::size_t kMostLevels = 14;
inline constexpr std::size_t kLeastMedianStates = 3000;
inline constexpr std::size_t kLeastPeakStates = 20000;       // bonus levels, last levels from world 2 on
inline constexpr std::size_t kLeastFirstPeakStates = 5000;  // world 1's last level
inline constexpr std::size_t kFewestWorlds = 10;
inline constexpr std::size_t kFewestCampaignLevels = 108;

// What a level fails, in words, judged on its own (the checks that compare levels are the campaign's).
// lastlevel: the level is its world's last.
std::vector<std::string> LevelFailures(const level_source& source, const level_place& place, bool lastlevel,
                                       const level_figures& figures);
// The kinds the removal test found to matter, by name.
std::string KindNames(std::span<const uint8_t> kinds);
// A level combines its world's mechanic with an earlier world's: both matter to its solution.
bool Combines(const level_figures& figures);

// The whole report: the levels checked (all of a campaign, one world or one level), each with its figures
// and failures, and the checks of their worlds and of the campaign.
struct reported_level {
  int world = -1;
  int levelno = -1;
  std::string path;
  std::string shortname;  // world folder/level file
  level_source source;
  level_place place;
  bool checked = false;  // false: read only to compare the checked levels with
  bool lastlevel = false;
  level_figures figures;
  std::vector<room_plan> rooms;
  std::vector<std::string> failures;
};
struct reported_world {
  int number = 0;
  std::string folder;
  std::string name;
  std::vector<uint8_t> featured;
  std::size_t first = 0;  // its levels in levels
  std::size_t count = 0;
  bool checked = false;
  std::vector<std::string> failures;
};
struct campaign_report {
  std::vector<reported_level> levels;
  std::vector<reported_world> worlds;
  bool wholecampaign = false;
  std::size_t medianstates = 0;  // over the checked levels
  std::vector<std::string> failures;  // the campaign's own
  std::vector<std::string> errors;    // sources that can't be read
  double seconds = 0;
  std::size_t fromcache = 0;
};
// path: a folder with worlds.txt, a world folder, or a level source. Levels outside what path names are
// read from the campaign around it, so names and rooms are compared with every level of the campaign.
campaign_report ReportCampaign(const std::string& path, const report_options& options);
bool Passed(const campaign_report& report);

// "3-7", with "?" for what isn't known.
std::string LevelNumber(const reported_level& level);
// 12345 as "12,345".
std::string Thousands(std::size_t n);

}  // namespace dusk
