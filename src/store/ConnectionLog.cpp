// The connection log.
