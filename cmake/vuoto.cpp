// The source of the precompiled-header donor targets: they compile nothing
// but their headers.
