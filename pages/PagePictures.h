#pragma once

class Dib;

// The small pictures that the application draws once at start-up and some pages show: the six preview
// background swatches (View/PreviewBack 1 to 6 selects swatch 0 to 5) and the ten position pictograms
// (a 3 x 3 grid with one cell marked, then all nine). Borrowed: they outlive every sheet. Missing pictures
// (null, or fewer than the full set) only leave the pages without them.
struct PagePictures {
    const Dib* swatches = nullptr;
    int swatchCount = 0;
    const Dib* pictograms = nullptr;
    int pictogramCount = 0;
};
