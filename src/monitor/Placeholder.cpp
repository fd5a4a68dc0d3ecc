// Replaced as the monitor is built.
