#include "app/app.h"

App::App(platform::Services services, forms::Backend* backend)
    : services_(std::move(services)), main_(services_) {
  main_.attach(backend);
}
