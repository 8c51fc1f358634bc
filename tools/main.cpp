// hexmap: check, draw, search and convert hexagon maps from the command line.
#include <CLI/CLI.hpp>

#include <iostream>

#include "hexmap/hexagon_map.hpp"
#include "tools/commands.hpp"

namespace hexmap::tool {
namespace {

// A usage error that CLI11 reports like its own.
template <typename T>
T parsed_or_throw(const std::optional<T>& value, std::string_view what, const std::string& text,
                  std::string_view form) {
  if (!value)
    throw CLI::ValidationError(std::string(what) + ": '" + text + "' is not " + std::string(form));
  return *value;
}

std::string one_line(std::string text) {
  for (char& c : text)
    if (c == '\n') c = ' ';
  while (!text.empty() && text.back() == ' ')
    text.pop_back();
  return text;
}

}  // namespace

void report(std::string_view why) {
  std::cerr << "hexmap: " << why << "\n";
}

int run(int argc, char** argv) {
  CLI::App app{
      "Checks, draws, searches and converts hexagon maps: map files (.txt) and Tiled maps (.tmx, "
      ".tmj).",
      "hexmap"};
  app.require_subcommand(1);

  std::string map, out, in, from, to, size, center, path, flood, range, costs, budget, sight,
      viewer, radius;
  bool json = false, force = false;
  const std::string costs_form =
      "GROUND=COST,... (costs 0 to " + std::to_string(kMaxStepCost) + ", 0 bars)";
  // Told apart by content, so any name will do; these are the usual ones.
  const std::string map_help = "map file (.txt) or Tiled map (.tmx, .tmj, .json)";

  CLI::App* check =
      app.add_subcommand("check", "Print a one-line summary of a map, or its first problem");
  check->add_option("MAP", map, map_help)->required();

  CLI::App* render = app.add_subcommand("render", "Draw a map into a PNG picture");
  render->add_option("MAP", map, map_help)->required();
  render
      ->add_option("-o,--output", out,
                   "picture to write: .png, .bmp, or - for PNG on standard output")
      ->required();
  render->add_option("--size", size, "picture size WxH in pixels (default: the whole map)");
  render->add_option("--center", center, "cell X,Y to put in the middle of the picture");
  render->add_option("--path", path, "draw the shortest path X1,Y1:X2,Y2");
  render->add_option("--flood", flood, "shade the cells within STEPS steps of X,Y: X,Y,STEPS");
  render->add_option("--range", range,
                     "shade the cells within BUDGET of X,Y by the ground costs: X,Y,BUDGET");
  render->add_option("--costs", costs, "ground costs over the map's own: " + costs_form);
  render->add_option("--sight", sight, "darken the cells not seen from X,Y within R steps: X,Y,R");

  CLI::App* search = app.add_subcommand("path", "Find the shortest path between two cells");
  search->add_option("MAP", map, map_help)->required();
  search->add_option("FROM", from, "start cell X,Y")->required();
  search->add_option("TO", to, "end cell X,Y")->required();
  search->add_flag("--json", json, "print the result as JSON");
  search
      ->add_option(
          "--costs", costs,
          "the cheapest route by the map's ground costs, or these over them: " + costs_form)
      ->expected(0, 1);

  CLI::App* reach =
      app.add_subcommand("range", "List the cells within a budget of a cell, by the ground costs");
  reach->add_option("MAP", map, map_help)->required();
  reach->add_option("FROM", from, "start cell X,Y")->required();
  reach->add_option("BUDGET", budget, "the most a cell may cost")->required();
  reach->add_option("--costs", costs, "ground costs over the map's own: " + costs_form);
  reach->add_flag("--json", json, "print the result as JSON");

  CLI::App* look = app.add_subcommand("sight", "List the cells seen from a cell");
  look->add_option("MAP", map, map_help)->required();
  look->add_option("VIEWER", viewer, "cell X,Y that looks")->required();
  look->add_option("RADIUS", radius, "how many steps far it looks")->required();
  look->add_flag("--json", json, "print the result as JSON");

  CLI::App* convert = app.add_subcommand("convert", "Convert a map file to a Tiled map or back");
  convert->add_option("IN", in, "map to read (.txt, .tmx or .tmj)")->required();
  convert->add_option("OUT", out, "map to write (.tmx, .tmj or .txt)")->required();
  convert->add_flag("--force", force, "replace a tile sheet beside OUT that hexmap did not write");

  try {
    app.parse(argc, argv);
    // Engine log lines would mix with the results on standard output.
    set_log_sink({});
    if (check->parsed()) return run_check(map);
    if (convert->parsed()) return run_convert(in, out, force);
    GroundCosts ground_costs;
    if (!costs.empty())
      ground_costs = parsed_or_throw(parse_costs(costs), "--costs", costs, "GROUND=COST,...");
    if (search->parsed()) {
      const GridCell a = parsed_or_throw(parse_cell(from), "FROM", from, "X,Y");
      const GridCell b = parsed_or_throw(parse_cell(to), "TO", to, "X,Y");
      std::optional<GroundCosts> by_cost;
      if (search->count("--costs") > 0) by_cost = ground_costs;
      return run_path(map, a, b, json, by_cost);
    }
    if (reach->parsed())
      return run_range(
          map, parsed_or_throw(parse_cell(from), "FROM", from, "X,Y"),
          parsed_or_throw(parse_budget(budget), "BUDGET", budget, "a number, 0 or more"),
          ground_costs, json);
    if (look->parsed())
      return run_sight(
          map, parsed_or_throw(parse_cell(viewer), "VIEWER", viewer, "X,Y"),
          parsed_or_throw(parse_budget(radius), "RADIUS", radius, "a number, 0 or more"), json);
    RenderRequest r{map, out, {}, {}, {}, {}, {}, ground_costs, {}};
    if (!size.empty()) r.size = parsed_or_throw(parse_size(size), "--size", size, "WxH");
    if (!center.empty()) r.center = parsed_or_throw(parse_cell(center), "--center", center, "X,Y");
    if (!path.empty()) r.path = parsed_or_throw(parse_path(path), "--path", path, "X1,Y1:X2,Y2");
    if (!flood.empty())
      r.flood = parsed_or_throw(parse_flood(flood), "--flood", flood, "X,Y,STEPS");
    if (!range.empty())
      r.range = parsed_or_throw(parse_flood(range), "--range", range, "X,Y,BUDGET");
    if (!sight.empty()) r.sight = parsed_or_throw(parse_flood(sight), "--sight", sight, "X,Y,R");
    return run_render(r);
  } catch (const CLI::CallForHelp&) {
    std::cout << app.help();
    return kExitOk;
  } catch (const CLI::ParseError& e) {
    report(one_line(e.what()) + " (see hexmap --help)");
    return kExitUsage;
  }
}

}  // namespace hexmap::tool

int main(int argc, char** argv) {
  return hexmap::tool::run(argc, argv);
}
