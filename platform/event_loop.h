#pragma once
// Serving the toolkit's event loop from inside a call that cannot return to it yet.

namespace bolta {

// Dispatches the events already waiting, without blocking; at most a hundred, so that a source
// that keeps itself busy cannot hold the caller.
void ServePendingEvents();

}  // namespace bolta
