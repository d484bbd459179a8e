#pragma once

namespace kestrum {

// Sets the service token on the shared client, downloads the pins document and, when it is
// usable, makes it the pin store. False leaves the built-in pins in force.
bool LoadDynamicPins();

}  // namespace kestrum
