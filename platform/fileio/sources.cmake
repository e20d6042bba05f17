# Sources of the fileio service.
