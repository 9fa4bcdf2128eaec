#pragma once
// An error the libraries under the toolkit cannot go on from, such as the web engine's when its
// helper process cannot start: GLib would end the process with a trap right after printing it,
// where no user who started the tool from a menu reads it.
#include <functional>
#include <string>

namespace bolta {

class FatalLibraryErrors {
 public:
  // `onFatal` gets the library's message on one line, on whichever thread met it; it must end
  // the process, as GLib does when it returns.
  explicit FatalLibraryErrors(std::function<void(const std::string& message)> onFatal);
  ~FatalLibraryErrors();  // GLib's own handling again
  FatalLibraryErrors(const FatalLibraryErrors&) = delete;
  FatalLibraryErrors& operator=(const FatalLibraryErrors&) = delete;

 private:
  std::function<void(const std::string&)> onFatal_;
};

}  // namespace bolta
