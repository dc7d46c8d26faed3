#include "app/win32/taskbar_progress.hpp"

#include <shobjidl.h>

#include <algorithm>

namespace quarnel::win32 {

TaskbarProgress::TaskbarProgress() noexcept = default;

TaskbarProgress::~TaskbarProgress() { End(); }

ITaskbarList3* TaskbarProgress::List() noexcept {
  if (!looked_) {
    looked_ = true;
    Microsoft::WRL::ComPtr<ITaskbarList3> list;
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&list))) &&
        SUCCEEDED(list->HrInit())) {
      list_ = list;
    }
  }
  return list_.Get();
}

void TaskbarProgress::Draw(std::uint64_t done, std::uint64_t total) noexcept {
  if (!window_ || !IsWindow(window_)) return;
  ITaskbarList3* list = List();
  if (!list) return;
  if (!shown_) list->SetProgressState(window_, TBPF_NORMAL);
  shown_ = true;
  list->SetProgressValue(window_, std::min(done, total), total);
}

void TaskbarProgress::End() noexcept {
  throttle_.Reset();
  if (!shown_) return;
  shown_ = false;
  if (list_ && window_ && IsWindow(window_)) list_->SetProgressState(window_, TBPF_NOPROGRESS);
}

}  // namespace quarnel::win32
