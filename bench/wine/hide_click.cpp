#include "bench/wine/hide_click.hpp"

#include <chrono>
#include <string>
#include <thread>

#include "bench/wine/raw_client.hpp"
#include "bench/wine/tool_host.hpp"
#include "visibility/commands.hpp"

namespace quarnel::bench {
namespace {

constexpr std::int32_t kFirstRow = 2;
constexpr std::int32_t kRowsUsed = 60;
// The stand-in redraws a few hundredths of a second after a change: the set-up's redraw is let
// pass before each click, so that neither side pays for it.
constexpr auto kSettle = std::chrono::milliseconds(80);

// The row the next click hides: selected and shown, by calls the figures leave out.
std::int32_t SelectShownRow(const Server& server, int click) {
  const std::int32_t row = kFirstRow + click % kRowsUsed;
  const excel::Object app = server.App();
  app.GetObject("Rows", {std::to_string(row) + ":" + std::to_string(row)}).Put("Hidden", false);
  app.GetObject("Range", {"B" + std::to_string(row)}).Call("Select");
  return row;
}

}  // namespace

ClickFigures MeasureHideClicks(const Server& server, int clicks, const fs::path& folder) {
  SetUpSheet(server.App(), kFirstRow + kRowsUsed, 8);
  server.App().Put("Visible", true);
  ClickFigures figures;
  ToolConnector connector(NameLookup::Once);
  DiskDesktop desktop(folder);
  Host host{connector, desktop};
  RawHideClick raw(true);
  RawHideClick rawLettingGo(false);
  // Turn about, so that a machine growing busier or quieter favours none.
  for (int click = 0; click < 3 * clicks; ++click) {
    const std::int32_t row = SelectShownRow(server, click);
    if (click % 3 == 0) server.ResetCounters();
    std::this_thread::sleep_for(kSettle);
    if (click % 3 == 0) {
      const Stopwatch watch;
      visibility::HideRow(host);
      figures.tool.Add(watch.Stop(1).ms);
      const Server::Counters counters = server.Read();
      figures.toolRoundTrips = counters.names + counters.invokes;
    } else if (click % 3 == 2) {
      figures.rawLettingGo.Add(rawLettingGo.Click().Total());
    } else {
      const ClickSteps steps = raw.Click();
      figures.raw.Add(steps.Total());
      figures.search.Add(steps.search);
      figures.application.Add(steps.application);
      figures.attach.Add(steps.attach);
      figures.activate.Add(steps.activate);
      figures.command.Add(steps.command);
    }
    if (!server.RowIsHidden(row) || !desktop.messages.empty()) Fail("a click did not hide its row");
  }
  return figures;
}

}  // namespace quarnel::bench
