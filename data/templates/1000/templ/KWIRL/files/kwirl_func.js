// Check-as-you-type client core: func.
kwirl.core = kwirl.core || {};
kwirl.core.func = true;
