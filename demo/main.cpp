// hexmap_demo: two walkers path-finding across a hexagon map in a 640 x 400 window. Runs from
// the folder that holds its data files.
#include "demo/demo_app.hpp"

int main() {
  demo::DemoApp app;
  return app.run();
}
