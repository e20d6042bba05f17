# Sources of the video service.
