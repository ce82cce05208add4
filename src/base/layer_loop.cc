#include "base/layer_loop.h"

#include <vector>

namespace base {

namespace {

std::vector<MessageLoop::LayerLoop*>& RunningLayers() {
  static std::vector<MessageLoop::LayerLoop*> layers;
  return layers;
}

}  // namespace

MessageLoop::LayerLoop::LayerLoop(MessagePumpForUI* outer_pump)
    : pump_(MessagePumpForUI::NoWindow{}) {
  pump_.SetOuterPump(outer_pump);
}

void MessageLoop::LayerLoop::Run() {
  RunningLayers().push_back(this);
  pump_.Run(nullptr);
  RunningLayers().pop_back();
}

MessageLoop::LayerLoop* MessageLoop::LayerLoop::Top() {
  return RunningLayers().empty() ? nullptr : RunningLayers().back();
}

void MessageLoop::LayerLoop::QuitTop() {
  if (LayerLoop* top = Top()) top->pump_.Quit();
}

}  // namespace base
