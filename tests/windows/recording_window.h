// A real, hidden top-level window whose own procedure records every message it
// receives, with the procedure the window had at that moment, and answers
// wparam + lparam. Each owner letter has a procedure of its own.
#pragma once

#include <windows.h>

#include <vector>

namespace korvex::tests {

struct Received {
  char owner;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
  WNDPROC current;
};

class RecordingWindow {
 public:
  explicit RecordingWindow(char owner);  // 'a' or 'b'
  ~RecordingWindow();
  RecordingWindow(const RecordingWindow&) = delete;
  RecordingWindow& operator=(const RecordingWindow&) = delete;

  HWND handle() const { return window_; }
  WNDPROC own_procedure() const { return procedure_; }
  WNDPROC current_procedure() const;

  // The messages with this number that reached the window's own procedure.
  std::vector<Received> received(UINT message) const;

 private:
  template <char Owner>
  static LRESULT CALLBACK record(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  WNDPROC procedure_;
  HWND window_;
  std::vector<Received> received_;
};

}  // namespace korvex::tests
