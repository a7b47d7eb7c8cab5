// The canvas's inner loop, in the page's own language: the forms layer hands over a frame's
// aliased lines as runs of device pixels in one call, since each call from WebAssembly to the page
// costs a few microseconds. runs: x, y, width, height, colour (0xRRGGBB, or -1 for the canvas's
// text colour, text, which follows the reader's scheme).
Module["paintRuns"] = function (context, runs, text) {
  const canvas = context.canvas;
  context.clearRect(0, 0, canvas.width, canvas.height);
  // Opaque: a system colour may be translucent (WebKitGTK's ButtonText is), and a line's runs
  // overlap where its segments meet, which would show darker there.
  text = text.replace(/^rgba\((.*),[^,]*\)$/, "rgb($1)");
  let colour = null;
  for (let i = 0; i < runs.length; i += 5) {
    if (runs[i + 4] !== colour) {
      colour = runs[i + 4];
      context.fillStyle = colour < 0 ? text : "#" + colour.toString(16).padStart(6, "0");
    }
    context.fillRect(runs[i], runs[i + 1], runs[i + 2], runs[i + 3]);
  }
};
