#pragma once

// What the program tells screen readers beyond the toolkit's defaults:
//  - a top-level window made from a plain widget (the document window, the
//    checker window) is a window ("frame") named by its caption, not an
//    anonymous filler;
//  - a LinkLabel is a link, named by its text, described by its tooltip,
//    with a "Press" action that presses it like Enter does.
// The hidden push-button twins of flat buttons are kept out of the tree by
// makeHiddenTwin itself.
namespace Accessibility {

// Installs the above once per process; later calls do nothing. Called by the
// windows and controls that rely on it, before a screen reader can ask.
void install();

}  // namespace Accessibility
