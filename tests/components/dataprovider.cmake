# The data provider framework, natively (and under Wine with the platform's GUIDs).
mv_add_test(mv_dataprovider_tests
  SOURCES DataProviderTest.cpp
  LIBS mv_dataprovider_core)
