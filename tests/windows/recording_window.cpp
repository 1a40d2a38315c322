#include "recording_window.h"

#include <stdexcept>
#include <string>

namespace korvex::tests {

template <char Owner>
LRESULT CALLBACK RecordingWindow::record(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  if (auto* self = reinterpret_cast<RecordingWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA))) {
    self->received_.push_back({Owner, message, wparam, lparam,
                               reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC))});
  }
  if (message >= WM_USER) return static_cast<LRESULT>(wparam) + lparam;
  return DefWindowProcA(window, message, wparam, lparam);
}

RecordingWindow::RecordingWindow(char owner)
    : procedure_(owner == 'a' ? &record<'a'> : &record<'b'>), window_(nullptr) {
  const std::string class_name = std::string("KorvexTestWindow") + owner;
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = procedure_;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = class_name.c_str();
  RegisterClassA(&window_class);  // fails harmlessly once the class exists
  window_ = CreateWindowExA(0, class_name.c_str(), "Korvex test", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                            100, nullptr, nullptr, GetModuleHandleA(nullptr), this);
  if (window_ == nullptr) throw std::runtime_error("CreateWindowExA failed");
}

RecordingWindow::~RecordingWindow() {
  if (IsWindow(window_)) DestroyWindow(window_);
}

WNDPROC RecordingWindow::current_procedure() const {
  return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window_, GWLP_WNDPROC));
}

std::vector<Received> RecordingWindow::received(UINT message) const {
  std::vector<Received> matching;
  for (const Received& r : received_) {
    if (r.message == message) matching.push_back(r);
  }
  return matching;
}

}  // namespace korvex::tests
