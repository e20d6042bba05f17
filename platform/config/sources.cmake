# Sources of the config service.
