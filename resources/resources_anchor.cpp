// SPDX-License-Identifier: GPL-3.0-or-later
// Anchor for the compiled-in pictures.
