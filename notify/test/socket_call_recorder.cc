#include "notify/test/socket_call_recorder.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace orvanta {
namespace {

struct State {
  std::vector<std::string> calls;
  std::optional<std::pair<SocketCall, SocketFault>> armed;
  bool armed_for_every_call = false;
};

State* g_state = nullptr;

}  // namespace

namespace socket_call_recorder_internal {

std::optional<SocketFault> Record(std::optional<SocketCall> call,
                                  std::string entry) {
  g_state->calls.push_back(std::move(entry));
  if (call && g_state->armed && g_state->armed->first == *call) {
    const SocketFault fault = g_state->armed->second;
    if (!g_state->armed_for_every_call) g_state->armed.reset();
    return fault;
  }
  return std::nullopt;
}

}  // namespace socket_call_recorder_internal

SocketCallRecorder::SocketCallRecorder() {
  if (g_state) {
    std::fputs("SocketCallRecorder: only one at a time\n", stderr);
    std::abort();
  }
  g_state = new State;
  socket_call_recorder_internal::Install();
}

SocketCallRecorder::~SocketCallRecorder() {
  socket_call_recorder_internal::Uninstall();
  delete g_state;
  g_state = nullptr;
}

void SocketCallRecorder::FailNext(SocketCall call, SocketFault fault) {
  g_state->armed = std::make_pair(call, fault);
  g_state->armed_for_every_call = false;
}

void SocketCallRecorder::FailEvery(SocketCall call, SocketFault fault) {
  g_state->armed = std::make_pair(call, fault);
  g_state->armed_for_every_call = true;
}

void SocketCallRecorder::StopFailing() { g_state->armed.reset(); }

const std::vector<std::string>& SocketCallRecorder::calls() const {
  return g_state->calls;
}

void SocketCallRecorder::ClearCalls() { g_state->calls.clear(); }

}  // namespace orvanta
