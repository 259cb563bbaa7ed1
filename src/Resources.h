#pragma once
// Icons and other embedded files live in a static library; registering them
// once makes them reachable under ":/zenrook/" whoever asks first.
void ensureResources();
