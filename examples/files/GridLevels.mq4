//+------------------------------------------------------------------+
//| GridLevels.mq4 - draws the grid levels of Grid Expert             |
//+------------------------------------------------------------------+
#property copyright "Northwind Trading Tools"
#property indicator_chart_window

input double GridStep   = 20;
input int    GridLevels = 5;

int OnInit() { return(INIT_SUCCEEDED); }

int OnCalculate(const int rates_total, const int prev_calculated,
                const datetime &time[], const double &open[], const double &high[],
                const double &low[], const double &close[], const long &tick_volume[],
                const long &volume[], const int &spread[])
  {
   for(int i = -GridLevels; i <= GridLevels; i++)
     {
      string name = "grid_" + IntegerToString(i);
      ObjectDelete(name);
      ObjectCreate(name, OBJ_HLINE, 0, 0, close[rates_total - 1] + i * GridStep * Point);
     }
   return(rates_total);
  }
