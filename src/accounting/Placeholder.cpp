// Replaced as the accounting core is built.
