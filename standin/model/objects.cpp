#include "standin/model/objects.hpp"

#include <string>
#include <utility>
#include <variant>

#include "standin/model/failures.hpp"
#include "standin/model/member.hpp"
#include "standin/model/sheet_objects.hpp"

namespace quarnel::standin {
namespace {

using excel::Value;

// Collections take a 1-based position or a name, names compared without regard to case.
template <typename Items>
auto ItemOf(const Items& items, const Value& key) -> typename Items::value_type {
  if (const auto* text = std::get_if<std::string>(&key)) {
    const std::string wanted = FoldCase(*text);
    for (const auto& item : items) {
      if (FoldCase(item->name) == wanted) return item;
    }
    throw errors::SubscriptOutOfRange();
  }
  const std::int32_t index = excel::ToLong(key);
  if (index < 1 || static_cast<std::size_t>(index) > items.size()) throw errors::SubscriptOutOfRange();
  return items[static_cast<std::size_t>(index) - 1];
}

class SheetsObject : public PartOf<WorkbookState> {
 public:
  using PartOf::PartOf;

 private:
  Value Answer(const Call& call) override {
    const auto book = Alive();
    call.ReadOnly();
    if (call.Is("count")) {
      call.Arity(0, 0);
      return static_cast<std::int32_t>(book->sheets.size());
    }
    if (call.Is("add")) {
      // Before, After, Count and Type are taken and left at their defaults.
      call.Arity(0, 4);
      auto sheet = app_->AddSheet(book, {});
      app_->Activate(sheet);
      return SheetValue(app_, sheet);
    }
    if (call.Is("item") || call.Is("")) {
      call.Arity(1, 1);
      return SheetValue(app_, ItemOf(book->sheets, call.args[0]));
    }
    throw errors::NotSupported();
  }
};

class WorkbookObject : public PartOf<WorkbookState> {
 public:
  using PartOf::PartOf;

 private:
  Value Answer(const Call& call) override {
    const auto book = Alive();
    call.ReadOnly();
    if (call.Is("close")) {
      call.Arity(0, 3);  // SaveChanges, Filename, RouteWorkbook: the stand-in saves nothing
      app_->CloseWorkbook(book);
      return {};
    }
    call.Arity(0, 0);
    if (call.Is("name")) return book->name;
    if (call.Is("sheets") || call.Is("worksheets")) return Make<SheetsObject>(app_, part_);
    if (call.Is("activesheet")) {
      return SheetValue(app_, book->sheets.empty() ? nullptr : book->sheets[book->activeSheet]);
    }
    if (call.Is("activate")) {
      app_->activeWorkbook = book;
      return {};
    }
    throw errors::NotSupported();
  }
};

Value BookValue(const AppPtr& app, const std::shared_ptr<WorkbookState>& book) {
  if (!book) return {};
  return Make<WorkbookObject>(app, book);
}

class WorkbooksObject : public Member {
 public:
  using Member::Member;

 private:
  Value Answer(const Call& call) override {
    call.ReadOnly();
    if (call.Is("count")) {
      call.Arity(0, 0);
      return static_cast<std::int32_t>(app_->workbooks.size());
    }
    if (call.Is("add")) {
      call.Arity(0, 1);  // a template is taken and not used
      return BookValue(app_, app_->AddWorkbook({}));
    }
    if (call.Is("item") || call.Is("")) {
      call.Arity(1, 1);
      return BookValue(app_, ItemOf(app_->workbooks, call.args[0]));
    }
    throw errors::NotSupported();
  }
};

// What Selection answers for a selected shape, or a chart sheet's chart area: not cells.
class DrawingObject : public Member {
 public:
  using Member::Member;

 private:
  Value Answer(const Call& call) override {
    call.ReadOnly();
    call.Arity(0, 0);
    if (call.Is("name")) return std::string("Rectangle 1");
    throw errors::NotSupported();
  }
};

// A workbook's window as its frame hands it out to a client that found Excel by its windows.
class WindowObject : public PartOf<WorkbookState> {
 public:
  WindowObject(AppPtr app, std::weak_ptr<WorkbookState> book, excel::Object application)
      : PartOf(std::move(app), std::move(book)), application_(std::move(application)) {}

 private:
  Value Answer(const Call& call) override {
    const auto book = Alive();
    call.ReadOnly();
    call.Arity(0, 0);
    if (call.Is("application")) return application_;
    if (call.Is("caption")) return book->name;
    throw errors::NotSupported();
  }

  excel::Object application_;
};

// The window of a file in Protected View. Its workbook is not one of Workbooks.
class ProtectedViewWindowObject : public Member {
 public:
  using Member::Member;

 private:
  Value Answer(const Call& call) override {
    if (!app_->protectedView) throw ApplicationDefined();
    call.ReadOnly();
    call.Arity(0, 0);
    if (call.Is("caption")) return app_->protectedView->name;
    throw errors::NotSupported();
  }
};

// Application.WorksheetFunction, with the one function the tool uses. CountA counts a range's
// filled cells, hidden ones too, and any other value given as one; the answer is a Double.
class WorksheetFunctionObject : public Member {
 public:
  using Member::Member;

 private:
  Value Answer(const Call& call) override {
    call.ReadOnly();
    if (!call.Is("counta")) throw errors::NotSupported();
    call.Arity(1, 30);
    double count = 0;
    for (const Value& argument : call.args) {
      if (const auto filled = FilledCells(argument)) {
        count += static_cast<double>(*filled);
      } else if (std::holds_alternative<std::monostate>(argument) ||
                 std::holds_alternative<excel::Object>(argument)) {
        throw FunctionRefused("CountA");
      } else {
        count += 1;
      }
    }
    return count;
  }
};

class ApplicationObject : public Member {
 public:
  using Member::Member;

 private:
  Value Answer(const Call& call) override {
    AppState& app = *app_;
    if (call.Is("visible")) return Flag(call, app.visible);
    if (call.Is("screenupdating")) return Flag(call, app.screenUpdating);
    if (call.Is("caption")) {
      call.Arity(0, 0);
      if (!call.IsPut()) return app.caption;
      app.caption = excel::ToText(*call.assigned);
      return {};
    }
    if (call.Is("range") || call.Is("cells") || call.Is("rows") || call.Is("columns")) {
      auto sheet = app.ActiveSheet();
      if (!sheet) throw ApplicationDefined();
      return AnswerSheet(app_, sheet, call);
    }
    call.ReadOnly();
    call.Arity(0, 0);
    if (call.Is("name")) return std::string("Microsoft Excel");
    if (call.Is("hwnd")) return app.frameHandle ? app.frameHandle() : 0;
    if (call.Is("workbooks")) return Make<WorkbooksObject>(app_);
    if (call.Is("worksheetfunction")) return Make<WorksheetFunctionObject>(app_);
    if (call.Is("activeworkbook")) return BookValue(app_, app.ActiveWorkbook());
    if (call.Is("activesheet")) return SheetValue(app_, app.ActiveSheet());
    if (call.Is("activeprotectedviewwindow")) {
      if (!app.protectedView || !app.protectedView->active) return {};
      return Make<ProtectedViewWindowObject>(app_);
    }
    if (call.Is("selection")) {
      auto sheet = app.ActiveSheet();
      if (!sheet) return {};
      if (sheet->chart || sheet->shapeSelected) return Make<DrawingObject>(app_);
      return RangeValue(app_, sheet, sheet->selection);
    }
    if (call.Is("quit")) {
      app.quit = true;
      return {};
    }
    throw errors::NotSupported();
  }

  static Value Flag(const Call& call, bool& flag) {
    call.Arity(0, 0);
    if (!call.IsPut()) return flag;
    flag = excel::ToBool(*call.assigned);
    return {};
  }
};

}  // namespace

excel::Object MakeApplication(std::shared_ptr<AppState> state) {
  return excel::Object(std::make_shared<ApplicationObject>(std::move(state)));
}

excel::Object MakeWindow(std::shared_ptr<AppState> state, std::weak_ptr<WorkbookState> book,
                         excel::Object application) {
  return excel::Object(
      std::make_shared<WindowObject>(std::move(state), std::move(book), std::move(application)));
}

}  // namespace quarnel::standin
