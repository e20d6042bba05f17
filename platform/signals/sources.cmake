# Sources of the signals service.
