// Check-as-you-type client core: request.
kwirl.core = kwirl.core || {};
kwirl.core.request = true;
