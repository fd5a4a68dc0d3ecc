// Replaced as the application core is built.
