// Anchor for the compiled-in pictures.
